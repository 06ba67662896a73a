#include "OpenVpnArgumentAdapter.h"

#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

using Arguments = std::vector<std::string>;
Q_DECLARE_METATYPE(Arguments)

namespace {

QStringList toQt(const Arguments &arguments)
{
    QStringList list;
    for (const std::string &argument : arguments)
        list << QString::fromStdString(argument);
    return list;
}

} // namespace

class TestOpenVpnAdapter : public QObject
{
    Q_OBJECT

private slots:
    void translate_data()
    {
        QTest::addColumn<Arguments>("given");
        QTest::addColumn<Arguments>("expected");
        QTest::newRow("fixed cipher becomes a one-entry list with fallback")
            << Arguments {"--config", "a.conf", "--ncp-disable", "--cipher", "AES-256-CBC", "--auth", "SHA256"}
            << Arguments {"--config",    "a.conf", "--data-ciphers", "AES-256-CBC", "--data-ciphers-fallback",
                          "AES-256-CBC", "--auth", "SHA256"};
        QTest::newRow("empty cipher is dropped")
            << Arguments {"--ncp-disable", "--cipher", "", "--tls-version-min", "1.2"}
            << Arguments {"--tls-version-min", "1.2"};
        QTest::newRow("negotiable cipher passes through")
            << Arguments {"--cipher", "AES-128-GCM"} << Arguments {"--cipher", "AES-128-GCM"};
        QTest::newRow("everything else unchanged, repeats kept")
            << Arguments {"--management-up-down",
                          "--management-up-down",
                          "--remote",
                          "192.0.2.1 1194",
                          "--tun-mtu",
                          "1400"}
            << Arguments {
                   "--management-up-down", "--management-up-down", "--remote", "192.0.2.1 1194", "--tun-mtu", "1400"};
    }

    // Every command line also accepts the compression a server pushes.
    void translate()
    {
        QFETCH(Arguments, given);
        QFETCH(Arguments, expected);
        expected.insert(expected.begin(), {"--allow-compression", "asym"});
        QCOMPARE(toQt(engines::OpenVpnArgumentAdapter::translate(given)), toQt(expected));
    }

    void refusesWhatItCannotHonour_data()
    {
        QTest::addColumn<Arguments>("given");
        QTest::newRow("scramble") << Arguments {"--ncp-disable", "--cipher",  "AES-256-CBC",
                                                "--scramble",    "obfuscate", "mask"};
        QTest::newRow("cipher without value") << Arguments {"--cipher"};
    }

    void refusesWhatItCannotHonour()
    {
        QFETCH(Arguments, given);
        QVERIFY_EXCEPTION_THROWN(engines::OpenVpnArgumentAdapter::translate(given), std::runtime_error);
    }

    void engineRefusesScrambleWithoutConnecting()
    {
        QProcess engine;
        engine.start(QStringLiteral(ORVAL_OPENVPN_ENGINE),
                     {"--config", "none.conf", "--scramble", "obfuscate", "secret"});
        QVERIFY(engine.waitForFinished(10000));
        QCOMPARE(engine.exitCode(), 1);
        QVERIFY(engine.readAllStandardError().contains("--scramble"));
    }

    // The whole command line the helper passes must be accepted by the installed
    // OpenVPN: it reaches the management hold and obeys the management channel.
    void systemOpenVpnAcceptsTheProductCommandLine()
    {
        if (!QFileInfo::exists(QStringLiteral(ORVAL_OPENVPN_PROGRAM)))
            QSKIP("OpenVPN is not installed");
        QTemporaryDir dir;
        QCOMPARE(QProcess::execute("openssl", {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1", "-subj",
                                               "/CN=adapter-test", "-keyout", dir.filePath("key.pem"), "-out",
                                               dir.filePath("ca.pem")}),
                 0);
        QFile config(dir.filePath("client.conf"));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write("client\ndev tun\nproto udp\nremote 192.0.2.10 1194\nca ca.pem\nauth-user-pass\nnobind\n");
        config.close();

        QTcpServer management;
        QVERIFY(management.listen(QHostAddress::LocalHost));
        QProcess engine;
        engine.setProcessChannelMode(QProcess::MergedChannels);
        engine.start(QStringLiteral(ORVAL_OPENVPN_ENGINE), {"--cd",
                                                            dir.path(),
                                                            "--config",
                                                            "client.conf",
                                                            "--management",
                                                            "127.0.0.1",
                                                            QString::number(management.serverPort()),
                                                            "--management-client",
                                                            "--management-hold",
                                                            "--management-query-passwords",
                                                            "--management-up-down",
                                                            "--auth-retry",
                                                            "interact",
                                                            "--script-security",
                                                            "1",
                                                            "--route-noexec",
                                                            "--management-query-remote",
                                                            "--management-up-down",
                                                            "--ncp-disable",
                                                            "--cipher",
                                                            "AES-256-CBC",
                                                            "--auth",
                                                            "SHA256",
                                                            "--tls-version-min",
                                                            "1.2"});
        QVERIFY2(management.waitForNewConnection(10000), engine.readAll().constData());
        QTcpSocket *socket = management.nextPendingConnection();
        QByteArray received;
        while (!received.contains(">HOLD:") && socket->waitForReadyRead(10000))
            received += socket->readAll();
        QVERIFY2(received.contains(">HOLD:"), received.constData());
        socket->write("signal SIGTERM\n");
        socket->flush();
        QVERIFY(engine.waitForFinished(10000));
        QVERIFY2(!engine.readAll().contains("Options error"), "OpenVPN rejected the translated options");
    }
};

QTEST_GUILESS_MAIN(TestOpenVpnAdapter)
#include "tst_openvpn_adapter.moc"
