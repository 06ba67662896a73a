#include "Lab.h"
#include "TestFiles.h"
#include "catalogue/LocalConfigSource.h"
#include "catalogue/zip_archive.h"
#include "helper/EngineFiles.h"
#include "helper/IllegalArgumentException.h"
#include "helper/OpenVpnConfigCheck.h"
#include "helper/OpenVpnConfigTokenizer.h"
#include "helper/OpenVpnDialDestinations.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using stelvane::EngineFiles;
using stelvane::IllegalArgumentException;
using stelvane::OpenVpnConfigCheck;
using stelvane::OpenVpnConfigTokenizer;
using stelvane::OpenVpnDialDestinations;

namespace {

QString refusal(const QByteArray &config)
{
    return QString::fromStdString(OpenVpnConfigCheck::refusal(config.toStdString()));
}

// The TCP destinations of a configuration "c.conf" and the helper's remote
// and proxy ("HOST PORT") arguments, each as "ARGUMENT=VALUE LINE HOST PORT";
// the refusal alone when it is refused.
QStringList destinations(const QByteArray &config, const QStringList &remotes = {}, const QString &proxy = {})
{
    OpenVpnDialDestinations::Arguments arguments;
    arguments.configFile = "c.conf";
    for (const QString &remote : remotes)
        arguments.remotes.push_back(remote.toStdString());
    arguments.proxy = !proxy.isEmpty();
    arguments.proxyAddress = proxy.section(' ', 0, 0).toStdString();
    arguments.proxyPort = proxy.section(' ', 1).toInt();
    std::vector<stelvane::DialDestination> found;
    std::string refusal;
    if (!OpenVpnDialDestinations::read(config.toStdString(), arguments, found, refusal))
        return {QString::fromStdString(refusal)};
    QStringList result;
    for (const stelvane::DialDestination &d : found)
        result << QString("%1=%2 %3 %4 %5")
                      .arg(QString::fromStdString(d.argument), QString::fromStdString(d.value))
                      .arg(d.line)
                      .arg(QString::fromStdString(d.host))
                      .arg(d.port);
    return result;
}

// Every directive whose argument names a file the engine would open, with a
// valid argument list for each.
const char *const FILE_DIRECTIVES[] = {
    "config %1",
    "cert %1",
    "key %1",
    "tls-auth %1 1",
    "tls-crypt %1",
    "tls-crypt-v2 %1",
    "dh %1",
    "crl-verify %1",
    "pkcs12 %1",
    "secret %1",
    "extra-certs %1",
    "capath %1",
    "auth-user-pass %1",
    "askpass %1",
    "http-proxy-user-pass %1",
    "http-proxy 192.0.2.1 3128 %1 basic",
    "socks-proxy 192.0.2.1 1080 %1",
    "status %1",
    "log %1",
    "log-append %1",
    "writepid %1",
    "replay-persist %1",
    "ifconfig-pool-persist %1",
    "dev-node %1",
    "cd %1",
    "chroot %1",
    "tmp-dir %1",
    "plugin %1",
    "up %1",
    "down %1",
    "route-up %1",
    "tls-verify %1",
    "management 127.0.0.1 7505 %1",
    "engine %1",
    "providers %1",
    "auth-gen-token-secret %1",
    "verify-hash %1",
    "peer-fingerprint %1",
};

} // namespace

class TestOpenVpnConfigCheck : public QObject
{
    Q_OBJECT

private slots:
    // The words as the engine splits them (checked against OpenVPN 2.6).
    void words_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QString>("error");
        QTest::newRow("blanks") << QByteArray(" remote\ta  b \n") << QStringList {"remote", "a", "b"} << "";
        QTest::newRow("quote ends a word") << QByteArray("\"plugin\"/x.so\n") << QStringList {"plugin", "/x.so"} << "";
        QTest::newRow("quote inside a word")
            << QByteArray("remote a\"b\" 1\n") << QStringList {"remote", "a\"b\"", "1"} << "";
        QTest::newRow("double quotes") << QByteArray("remote \"a b\\\"c\\\\\" 1\n")
                                       << QStringList {"remote", "a b\"c\\", "1"} << "";
        QTest::newRow("single quotes keep backslashes")
            << QByteArray("remote 'a\\b' 1\n") << QStringList {"remote", "a\\b", "1"} << "";
        QTest::newRow("escaped blank") << QByteArray("remote a\\ b 1\n") << QStringList {"remote", "a b", "1"} << "";
        QTest::newRow("empty word") << QByteArray("remote \"\" 1\n") << QStringList {"remote", "", "1"} << "";
        QTest::newRow("comment") << QByteArray("remote a #b\n") << QStringList {"remote", "a"} << "";
        QTest::newRow("semicolon comment") << QByteArray("remote a ;b\n") << QStringList {"remote", "a"} << "";
        QTest::newRow("semicolon inside a word") << QByteArray("remote a;b\n") << QStringList {"remote", "a;b"} << "";
        QTest::newRow("escaped hash is a comment") << QByteArray("\\#plugin x\n") << QStringList {} << "";
        QTest::newRow("bad escape") << QByteArray("remote a\\b\n") << QStringList {}
                                    << "backslash before a character other than \\, \" or a blank";
        QTest::newRow("bad escape in quotes") << QByteArray("remote \"a\\b\"\n") << QStringList {}
                                              << "backslash before a character other than \\, \" or a blank";
        QTest::newRow("open double quote") << QByteArray("remote \"a\n") << QStringList {} << "no closing quote (\")";
        QTest::newRow("open single quote") << QByteArray("remote 'a\n") << QStringList {} << "no closing quote (')";
        QTest::newRow("escaped line end") << QByteArray("remote a\\\n") << QStringList {} << "escaped line end";
        QTest::newRow("backslash at the end")
            << QByteArray("remote a\\") << QStringList {} << "backslash at the end of the text";
        QTest::newRow("16 words") << QByteArray("a b c d e f g h i j k l m n o p # q\n")
                                  << QString("a b c d e f g h i j k l m n o p").split(' ') << "";
        QTest::newRow("17 words") << QByteArray("a b c d e f g h i j k l m n o p q\n") << QStringList {}
                                  << "more than 16 words";
    }

    void words()
    {
        QFETCH(QByteArray, line);
        QFETCH(QStringList, words);
        QFETCH(QString, error);
        std::vector<std::string> result;
        std::string why;
        const bool read = OpenVpnConfigTokenizer::words(line.toStdString(), result, why);
        QCOMPARE(QString::fromStdString(why), error);
        QCOMPARE(read, error.isEmpty());
        if (read) {
            QStringList got;
            for (const std::string &word : result)
                got << QString::fromStdString(word);
            QCOMPARE(got, words);
        }
    }

    void hostile_data()
    {
        QTest::addColumn<QByteArray>("config");
        QTest::addColumn<QString>("refusal");
        const QByteArray head = "client\ndev tun\n";
        QTest::newRow("quoted plugin") << QByteArray("\"plugin\"/tmp/evil.so\n")
                                       << "line 1: directive \"plugin\" is not allowed";
        QTest::newRow("quoted config") << head + "\"config\"/root/secret\n"
                                       << "line 3: directive \"config\" is not allowed";
        QTest::newRow("single-quoted") << QByteArray("'plugin' /tmp/evil.so\n")
                                       << "line 1: directive \"plugin\" is not allowed";
        QTest::newRow("double dash") << QByteArray("--plugin /tmp/evil.so\n")
                                     << "line 1: directive \"plugin\" is not allowed";
        QTest::newRow("three dashes") << QByteArray("---plugin /tmp/evil.so\n")
                                      << "line 1: directive \"-plugin\" is not allowed";
        QTest::newRow("escaped blank in name")
            << QByteArray("plugin\\ x\n") << "line 1: directive \"plugin x\" is not allowed";
        QTest::newRow("block behind ignore-unknown-option")
            << head + "ignore-unknown-option <ca>\n<ca> x\nplugin /tmp/evil.so\n</ca>\n"
            << "line 3: directive \"ignore-unknown-option\" is not allowed";
        QTest::newRow("tag with a word after it") << head + "<ca> x\nplugin /tmp/evil.so\n</ca>\n"
                                                  << "line 3: directive \"<ca>\" is not allowed";
        QTest::newRow("text after the closing tag") << head + "<ca>\nx\n</ca> plugin /tmp/evil.so\n"
                                                    << "line 5: text after </ca>";
        QTest::newRow("unclosed block") << head + "<ca>\nx\n"
                                        << "line 3: no </ca> for <ca>";
        QTest::newRow("unknown block") << head + "<connection>\nremote 192.0.2.1\nplugin /x\n</connection>\n"
                                       << "line 3: inline block \"<connection>\" is not allowed";
        QTest::newRow("block of a plain directive") << head + "<verb>\n3\n</verb>\n"
                                                    << "line 3: inline block \"<verb>\" is not allowed";
        QTest::newRow("block of a refused directive") << head + "<up>\n/tmp/x\n</up>\n"
                                                      << "line 3: inline block \"<up>\" is not allowed";
        QTest::newRow("password block") << head + "<auth-user-pass>\nu\np\n</auth-user-pass>\n"
                                        << "line 3: inline block \"<auth-user-pass>\" is not allowed";
        QTest::newRow("stray closing tag") << head + "</ca>\n"
                                           << "line 3: no <//ca> for </ca>";
        QTest::newRow("setenv opt") << QByteArray("setenv opt plugin /tmp/evil.so\n")
                                    << "line 1: directive \"setenv\" is not allowed";
        QTest::newRow("unknown directive") << head + "no-such-directive 1\n"
                                           << "line 3: directive \"no-such-directive\" is not allowed";
        QTest::newRow("upper case") << QByteArray("CLIENT\n") << "line 1: directive \"CLIENT\" is not allowed";
        QTest::newRow("password file") << QByteArray("auth-user-pass /root/pass\n")
                                       << "line 1: directive \"auth-user-pass\" with these arguments is not allowed";
        QTest::newRow("server protocol") << QByteArray("proto tcp-server\n")
                                         << "line 1: directive \"proto\" with these arguments is not allowed";
        QTest::newRow("remote with server protocol")
            << QByteArray("remote 192.0.2.1 1194 tcp-server\n")
            << "line 1: directive \"remote\" with these arguments is not allowed";
        QTest::newRow("too many arguments")
            << QByteArray("client extra\n") << "line 1: directive \"client\" with these arguments is not allowed";
        QTest::newRow("broken quoting") << head + "remote \"192.0.2.1 1194\n"
                                        << "line 3: no closing quote (\")";
        QTest::newRow("NUL byte") << head + QByteArray("remote 192.0.2.1\0 plugin x\n", 27) << "line 3: NUL byte";
        QTest::newRow("NUL in a block") << head + QByteArray("<ca>\nx\0y\n</ca>\n", 15) << "line 4: NUL byte";
        QTest::newRow("carriage return inside")
            << QByteArray("client\rplugin /tmp/evil.so\n") << "line 1: control character";
        QTest::newRow("vertical tab") << QByteArray("remote\v192.0.2.1\n") << "line 1: control character";
        QTest::newRow("over-long line") << "remote " + QByteArray(248, 'a') + "\n"
                                        << "line 1: longer than 254 bytes";
        QTest::newRow("over-long block line") << "<ca>\n" + QByteArray(255, 'A') + "\n</ca>\n"
                                              << "line 2: longer than 254 bytes";
        QTest::newRow("too long once quoted") << "verify-x509-name '" + QByteArray(120, '\\') + "'\n"
                                              << "line 1: longer than 254 bytes once quoted for the engine";
        QTest::newRow("17 words") << QByteArray("remote a b c d e f g h i j k l m n o p\n")
                                  << "line 1: more than 16 words";
        for (const char *directive : FILE_DIRECTIVES) {
            const QByteArray line = QString(directive).arg("/root/secret").toUtf8();
            const QString name = QString(directive).section(' ', 0, 0);
            const QString reason =
                QStringList {"cert", "key", "tls-auth", "tls-crypt"}.contains(name)
                    ? "line 3: directive \"" + name + "\" names a file: only an inline block <" + name + "> is allowed"
                : name == "auth-user-pass" ? "line 3: directive \"auth-user-pass\" with these arguments is not allowed"
                                           : "line 3: directive \"" + name + "\" is not allowed";
            QTest::newRow(qPrintable("file: " + line)) << head + line + "\n" << reason;
        }
    }

    void hostile()
    {
        QFETCH(QByteArray, config);
        QFETCH(QString, refusal);
        QCOMPARE(::refusal(config), refusal);
    }

    void legitimate_data()
    {
        QTest::addColumn<QByteArray>("config");
        QTest::newRow("every allowed directive") << QByteArray(
            "client\npull\ntls-client\ndev tun\ndev-type tun\nproto udp\nremote vpn.example 1194 udp\n"
            "remote 192.0.2.1\nremote-random\nresolv-retry infinite\nconnect-retry-max 1\nnobind\nfloat\n"
            "persist-key\npersist-tun\nremote-cert-tls server\nverify-x509-name \"C=US, CN=server\" subject\n"
            "cipher AES-256-GCM\ndata-ciphers AES-256-GCM:AES-128-GCM\nauth SHA512\nkey-direction 1\n"
            "tls-version-min 1.2 or-highest\nreneg-sec 0\ncomp-lzo no\ncompress\nverb 3\nmute 20\nping 10\n"
            "ping-restart 60\nexplicit-exit-notify 2\nauth-user-pass\nauth-nocache\nroute-delay 2\n"
            "tun-mtu 1500\nmssfix 1450\nfragment 1300\nsndbuf 393216\nrcvbuf 393216\nallow-pull-fqdn\n"
            "ca ca.crt\n<ca>\nA\n</ca>\n<cert>\nB\n</cert>\n<key>\nC\n</key>\n<tls-auth>\nD\n</tls-auth>\n"
            "<tls-crypt>\nE\n</tls-crypt>\n");
        QTest::newRow("comments, blanks, CRLF, BOM, dashes")
            << QByteArray("\xEF\xBB\xBF# a comment\r\n; another\r\n\r\n  --client   # why not\r\n\t'dev' \"tun\"\r\n"
                          "  <ca>  # inline\r\n x\r\n   </ca>  \r\nverb 3");
        QTest::newRow("tags inside a block are data") << QByteArray("<ca>\n<cert>\n</cert>\n<//ca>\n</ca>\n");
        QTest::newRow("254 bytes") << "remote " + QByteArray(247, 'a') + "\n";
    }

    void legitimate()
    {
        QFETCH(QByteArray, config);
        QCOMPARE(refusal(config), QString());
    }

    // What the engine is given reads, by the same rules, as the same
    // directives on the same lines, each word plain or in double quotes.
    void rewrite_data()
    {
        QTest::addColumn<QByteArray>("config");
        QTest::addColumn<QByteArray>("engineConfig");
        QTest::newRow("plain") << QByteArray("client\ndev tun\n") << QByteArray("client\ndev tun\n");
        QTest::newRow("quotes and escapes")
            << QByteArray("--remote 'a\\b' \"c d\" udp # x\nverify-x509-name a\\\"b\\\\c name\n")
            << QByteArray("remote \"a\\\\b\" \"c d\" udp\nverify-x509-name \"a\\\"b\\\\c\" name\n");
        QTest::newRow("empty argument") << QByteArray("remote \"\"\n") << QByteArray("remote \"\"\n");
        QTest::newRow("lines kept") << QByteArray("# x\n\nclient\n  <ca>\n a\n\n   </ca> \n\n;y\nverb 3\n")
                                    << QByteArray("\n\nclient\n<ca>\n a\n\n</ca>\n\n\nverb 3\n");
        QTest::newRow("file named by ca") << QByteArray("ca ca.crt\nca \"my ca.crt\"\n")
                                          << QByteArray("ca /sealed/ca.crt\nca \"/sealed/my ca.crt\"\n");
    }

    void rewrite()
    {
        QFETCH(QByteArray, config);
        QFETCH(QByteArray, engineConfig);
        const OpenVpnConfigCheck::FileResolver sealed = [](const std::string &name, std::string &path, std::string &) {
            path = "/sealed/" + name;
            return true;
        };
        std::string written;
        std::string refusal;
        QVERIFY2(OpenVpnConfigCheck::rewrite(config.toStdString(), sealed, written, refusal), refusal.c_str());
        QCOMPARE(QByteArray::fromStdString(written), engineConfig);
        std::string again;
        const OpenVpnConfigCheck::FileResolver same = [](const std::string &name, std::string &path, std::string &) {
            path = name;
            return true;
        };
        QVERIFY(OpenVpnConfigCheck::rewrite(written, same, again, refusal));
        QCOMPARE(QByteArray::fromStdString(again), engineConfig);
    }

    void fileRefusalNamesTheFile()
    {
        const OpenVpnConfigCheck::FileResolver none = [](const std::string &, std::string &, std::string &why) {
            why = "not readable by the caller";
            return false;
        };
        std::string written;
        std::string refusal;
        QVERIFY(!OpenVpnConfigCheck::rewrite("client\nca /root/ca.crt\n", none, written, refusal));
        QCOMPARE(QString::fromStdString(refusal),
                 QString("line 2: file \"/root/ca.crt\" of directive \"ca\": not readable by the caller"));
    }

    // The engine files of the built-in catalogue, and the configuration the
    // lab's tests give the engine, pass as they are.
    void catalogueAndLabConfigurationsPass()
    {
        LocalConfigSource registersTheResources;
        Q_UNUSED(registersTheResources)
        QFile zip(":/config/default.zip");
        QVERIFY(zip.open(QIODevice::ReadOnly));
        const zip_archive archive(zip.readAll());
        int engineFiles = 0;
        for (const zip_file &file : archive.files) {
            if (!file.name.endsWith(".conf"))
                continue;
            ++engineFiles;
            QVERIFY2(refusal(archive.get_file_data(file)).isEmpty(),
                     qPrintable(file.name + ": " + refusal(archive.get_file_data(file))));
            const QStringList dialed = destinations(archive.get_file_data(file));
            QVERIFY2(dialed.isEmpty() || dialed.first().startsWith("configFile="),
                     qPrintable(file.name + ": " + dialed.join(", ")));
        }
        QVERIFY(engineFiles > 2);

        QTemporaryDir dir;
        QVERIFY(
            TestFiles::write(dir.filePath("ca.crt"), "-----BEGIN CERTIFICATE-----\nMIIB\n-----END CERTIFICATE-----\n"));
        QVERIFY(Lab::writeOpenVpnClientConfig(dir.filePath("lab.ovpn"), dir.path(), "198.51.100.1", 1194));
        QCOMPARE(refusal(TestFiles::read(dir.filePath("lab.ovpn"))), QString());
    }

    // What the engine dials over TCP, by its own rules: a remote's own port
    // and protocol, else those of "port"/"rport" and "proto" wherever they
    // stand, else 1194 over UDP; with a proxy, the proxy alone.
    void dialDestinations_data()
    {
        QTest::addColumn<QByteArray>("config");
        QTest::addColumn<QStringList>("remotes");
        QTest::addColumn<QString>("proxy");
        QTest::addColumn<QStringList>("destinations");
        const QStringList none;
        QTest::newRow("remote, port, tcp") << QByteArray("client\nremote 192.0.2.1 443 tcp\n") << none << ""
                                           << QStringList {"configFile=c.conf 2 192.0.2.1 443"};
        QTest::newRow("remote without port") << QByteArray("proto tcp\nremote vpn.example\n") << none << ""
                                             << QStringList {"configFile=c.conf 2 vpn.example 1194"};
        QTest::newRow("UDP unless told") << QByteArray("remote 127.0.0.1 7505\n") << none << "" << none;
        QTest::newRow("proto after the remotes") << QByteArray("remote a 1\nremote b 2 udp\nproto tcp-client\n") << none
                                                 << "" << QStringList {"configFile=c.conf 1 a 1"};
        QTest::newRow("a remote's protocol over proto")
            << QByteArray("proto udp\nremote a 1 tcp4\nremote b 2 tcp6-client\nremote c 3 tcp4-client\nremote d 4 "
                          "tcp6\n")
            << none << ""
            << QStringList {"configFile=c.conf 2 a 1", "configFile=c.conf 3 b 2", "configFile=c.conf 4 c 3",
                            "configFile=c.conf 5 d 4"};
        QTest::newRow("UDP over IPv4 and IPv6")
            << QByteArray("proto tcp\nremote a 1 udp4\nremote b 2 udp6\nremote c 3 udp\n") << none << "" << none;
        QTest::newRow("an unknown protocol counts as TCP")
            << QByteArray("remote a 1 sctp\n") << none << "" << QStringList {"configFile=c.conf 1 a 1"};
        QTest::newRow("port") << QByteArray("proto tcp\nremote a\nport 7505\nremote b 8\n") << none << ""
                              << QStringList {"configFile=c.conf 2 a 7505", "configFile=c.conf 4 b 8"};
        QTest::newRow("rport after port") << QByteArray("proto tcp\nport 1\nrport 2\nremote a\n") << none << ""
                                          << QStringList {"configFile=c.conf 4 a 2"};
        QTest::newRow("quoted and with dashes") << QByteArray("--proto tcp\n--remote \"127.0.0.1\" '7505'\n") << none
                                                << "" << QStringList {"configFile=c.conf 2 127.0.0.1 7505"};
        QTest::newRow("remote arguments take the configuration's port and protocol")
            << QByteArray("proto tcp-client\nport 7000\nremote a 1\n") << QStringList {"127.0.0.1", "192.0.2.9"} << ""
            << QStringList {"configFile=c.conf 3 a 1", "remote=127.0.0.1 0 127.0.0.1 7000",
                            "remote=192.0.2.9 0 192.0.2.9 7000"};
        QTest::newRow("remote arguments over UDP") << QByteArray("client\n") << QStringList {"127.0.0.1"} << "" << none;
        QTest::newRow("HTTP proxy instead of the remotes")
            << QByteArray("proto tcp\nremote a 1\nhttp-proxy 127.0.0.1 3128\n") << QStringList {"b"} << ""
            << QStringList {"configFile=c.conf 3 127.0.0.1 3128"};
        QTest::newRow("SOCKS proxy, its port by default, for UDP too")
            << QByteArray("remote a 1 udp\nsocks-proxy 127.0.0.1\n") << none << ""
            << QStringList {"configFile=c.conf 2 127.0.0.1 1080"};
        QTest::newRow("proxy argument instead of the remotes")
            << QByteArray("proto tcp\nremote a 1\n") << QStringList {"b"} << "127.0.0.1 1080"
            << QStringList {"ProxyAddress=127.0.0.1 0 127.0.0.1 1080"};
        QTest::newRow("proxy argument for UDP") << QByteArray("remote a 1\n") << none << "proxy.example 3128"
                                                << QStringList {"ProxyAddress=proxy.example 0 proxy.example 3128"};

        // A port the engine reads in other ways, or that moves what was checked.
        const QString noNumber = " of a TCP destination is no number from 1 to 65535";
        QTest::newRow("port with a sign") << QByteArray("proto tcp\nremote a +7505\n") << none << ""
                                          << QStringList {"line 2: port \"+7505\"" + noNumber};
        QTest::newRow("port the engine truncates")
            << QByteArray("remote a 72041 tcp\n") << none << "" << QStringList {"line 1: port \"72041\"" + noNumber};
        QTest::newRow("service name") << QByteArray("remote a https tcp\n") << none << ""
                                      << QStringList {"line 1: port \"https\"" + noNumber};
        QTest::newRow("port 0") << QByteArray("remote a 0 tcp\n") << none << ""
                                << QStringList {"line 1: port \"0\"" + noNumber};
        QTest::newRow("the configuration's port for remote arguments")
            << QByteArray("proto tcp\nport \" 7505\"\n") << QStringList {"a"} << ""
            << QStringList {"line 2: port \" 7505\"" + noNumber};
        QTest::newRow("a UDP remote's port is not looked at") << QByteArray("remote a x udp\n") << none << "" << none;
        QTest::newRow("HTTP proxy without port")
            << QByteArray("http-proxy 127.0.0.1\n") << none << "" << QStringList {"line 1: port \"\"" + noNumber};
        QTest::newRow("connection block")
            << QByteArray("client\n<connection>\nremote 127.0.0.1 1 tcp\n</connection>\n") << none << ""
            << QStringList {"line 2: a <connection> block is not read for destinations"};
        QTest::newRow("unreadable") << QByteArray("remote \"a\n") << none << ""
                                    << QStringList {"line 1: no closing quote (\")"};
    }

    void dialDestinations()
    {
        QFETCH(QByteArray, config);
        QFETCH(QStringList, remotes);
        QFETCH(QString, proxy);
        QFETCH(QStringList, destinations);
        QCOMPARE(::destinations(config, remotes, proxy), destinations);
    }

    void files_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("relative") << "ok.conf"
                                  << "";
        QTest::newRow("in a subdirectory") << "sub/ok.conf"
                                           << "";
        QTest::newRow("absolute inside") << "@DIR@/ok.conf"
                                         << "";
        QTest::newRow("through ..") << "../outside.conf"
                                    << "outside the configuration directory";
        QTest::newRow("absolute outside") << "@ROOT@/outside.conf"
                                          << "outside the configuration directory";
        QTest::newRow("link to outside") << "link.conf"
                                         << "outside the configuration directory";
        QTest::newRow("directory") << "sub"
                                   << "not a regular file of at most 1 MiB";
        QTest::newRow("fifo") << "fifo"
                              << "not a regular file of at most 1 MiB";
        QTest::newRow("missing") << "none.conf"
                                 << "not found";
        QTest::newRow("empty name") << ""
                                    << "not found";
        QTest::newRow("the directory itself") << "."
                                              << "outside the configuration directory";
    }

    void files()
    {
        QFETCH(QString, file);
        QFETCH(QString, refusal);
        QTemporaryDir root;
        const QString dir = root.path() + "/conf";
        QVERIFY(QDir().mkpath(dir + "/sub"));
        QVERIFY(TestFiles::write(dir + "/ok.conf", "client\n"));
        QVERIFY(TestFiles::write(dir + "/sub/ok.conf", "client\n"));
        QVERIFY(TestFiles::write(root.path() + "/outside.conf", "client\n"));
        QVERIFY(QFile::link(root.path() + "/outside.conf", dir + "/link.conf"));
        QVERIFY(mkfifo(QFile::encodeName(dir + "/fifo").constData(), 0600) == 0);
        file.replace("@DIR@", dir).replace("@ROOT@", root.path());
        EngineFiles files(dir.toStdString());
        QCOMPARE(QString::fromStdString(files.directory()), QFileInfo(dir).canonicalFilePath());
        QString failure;
        try {
            const std::string path = files.sealedCopy(file.toStdString(), "configFile");
            QCOMPARE(TestFiles::read(QString::fromStdString(path)), QByteArray("client\n"));
        } catch (const IllegalArgumentException &e) {
            failure = QString::fromStdString(e.toString());
        }
        if (refusal.isEmpty())
            QCOMPARE(failure, QString());
        else
            QCOMPARE(failure, "IllegalArgumentException: configFile=" + file + " (" + refusal + ")");
    }

    // The engine reads the copy as it was when checked.
    void sealedCopiesCannotChange()
    {
        QTemporaryDir dir;
        EngineFiles files(dir.path().toStdString());
        const QString path = QString::fromStdString(files.seal("client\n"));
        QVERIFY(path.startsWith("/proc/self/fd/"));
        QFile copy(path);
        QVERIFY(!copy.open(QIODevice::WriteOnly | QIODevice::Append) || copy.write("plugin /x\n") <= 0
                || !copy.flush());
        copy.close();
        QCOMPARE(TestFiles::read(path), QByteArray("client\n"));
    }
};

QTEST_GUILESS_MAIN(TestOpenVpnConfigCheck)
#include "tst_openvpnconfigcheck.moc"
