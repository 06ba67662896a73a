#include "openconnect/OpenConnectCommand.h"
#include "openconnect/OpenConnectJson.h"
#include "openconnect/OpenConnectUsernamePasswordSanitizer.h"
#include "prefs/Settings.h"
#include "system/NullOsAbstraction.h"

#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

class TestOpenConnectValues : public QObject
{
    Q_OBJECT

private slots:
    void sanitiser_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("clean");
        QTest::addColumn<bool>("illegal");
        QTest::newRow("plain") << "user"
                               << "user" << false;
        QTest::newRow("space tab U+0085") << QString(" pa\tss") + QChar(0x85) << "pass" << true;
        QTest::newRow("line feed inside") << "us\ner"
                                          << "user" << true;
        QTest::newRow("DEL and C1") << QString("a") + QChar(0x7F) + QChar(0x9F) + "b"
                                    << "ab" << true;
        QTest::newRow("quote and backslash kept") << "a\"b\\c"
                                                  << "a\"b\\c" << false;
        QTest::newRow("U+00A0 kept") << QString("x") + QChar(0xA0) + "y" << QString("x") + QChar(0xA0) + "y" << false;
        QTest::newRow("only spaces") << "   "
                                     << "" << false;
    }

    void sanitiser()
    {
        QFETCH(QString, value);
        QFETCH(QString, clean);
        QFETCH(bool, illegal);
        const OpenConnectUsernamePasswordSanitizer sanitizer(value);
        QCOMPARE(sanitizer.containsIllegalChars(), illegal);
        QCOMPARE(sanitizer.sanitise(), clean);
        QCOMPARE(OpenConnectUsernamePasswordSanitizer::sanitiseEscape(value), clean);
    }

    void defaultPort_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("port");
        QTest::newRow("port 443") << QByteArray(R"({"default": {"port": 443}, "other": 1})") << 443;
        QTest::newRow("no port") << QByteArray(R"({"default": {}})") << 22;
        QTest::newRow("no default") << QByteArray(R"({"port": 443})") << 22;
        QTest::newRow("not json") << QByteArray("port=443") << 22;
        QTest::newRow("text port") << QByteArray(R"({"default": {"port": "443"}})") << 22;
        QTest::newRow("fraction") << QByteArray(R"({"default": {"port": 443.5}})") << 22;
        QTest::newRow("out of range") << QByteArray(R"({"default": {"port": 70000}})") << 22;
        QTest::newRow("missing file") << QByteArray() << 22;
    }

    void defaultPort()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, port);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QSettings().setValue("config/configDir", dir.path());
        Settings settings;
        if (!content.isEmpty()) {
            QFile file(dir.filePath("openconnect.json"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        QCOMPARE(OpenConnectJson(settings).getOpenConnectDefaultPort(), port);
    }

    void helperArguments_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("protocol");
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("noDtls");
        QTest::newRow("udp") << "vpn.example" << int(HalvorixServerSite::UDP) << "https://vpn.example:4443/"
                             << "false";
        QTest::newRow("tcp") << "192.0.2.7" << int(HalvorixServerSite::TCP) << "https://192.0.2.7:4443/"
                             << "true";
        QTest::newRow("ipv6 literal") << "2001:db8::1" << int(HalvorixServerSite::TCP) << "https://[2001:db8::1]:4443/"
                                      << "true";
    }

    void helperArguments()
    {
        QFETCH(QString, host);
        QFETCH(int, protocol);
        QFETCH(QString, server);
        QFETCH(QString, noDtls);
        QTemporaryDir bundle;
        QVERIFY(bundle.isValid());
        const QDir contents(bundle.path());
        QVERIFY(contents.mkpath("MacOS") && contents.mkpath("Helpers") && contents.mkpath("Resources/app/bin"));
        QFile engine(contents.filePath("Helpers/openconnect"));
        QFile script(contents.filePath("Resources/app/bin/vpnc-script"));
        QVERIFY(engine.open(QIODevice::WriteOnly) && script.open(QIODevice::WriteOnly));
        const QString macos = contents.filePath("MacOS");
        const QStringList arguments = OpenConnectCommand::helperArguments(
            macos, host, 4443, HalvorixServerSite::Protocol(protocol), 40001, 40002, 172800);
        const QStringList expected = {
            "OpenConnect", QFileInfo(engine.fileName()).canonicalFilePath(), server, "true",  "40001",
            "40002",       QFileInfo(script.fileName()).canonicalFilePath(), noDtls, "172800"};
        QCOMPARE(arguments, expected);
    }

    void missingEngineOrScriptGiveEmptyPaths()
    {
        QTemporaryDir bundle;
        const QStringList arguments =
            OpenConnectCommand::helperArguments(bundle.path() + "/MacOS", "h", 1, HalvorixServerSite::UDP, 1, 2, 3);
        QCOMPARE(arguments.size(), 9);
        QCOMPARE(arguments.at(1), QString());
        QCOMPARE(arguments.at(6), QString());
    }

    void remoteAddressReplacesHostAndProxyIsRemembered()
    {
        NullOsAbstraction os;
        OpenConnectCommand command(os, "vpn.example", 443, HalvorixServerSite::UDP, 1, 2, 172800);
        command.addRemote(QHostAddress("192.0.2.9"));
        QVERIFY(command.getArgumentsMacOSX().at(2) == "https://192.0.2.9:443/");
        command.setProxyDirect();
        QVERIFY(!command.isProxyRequested());
        command.setSocks5Proxy("127.0.0.1", "1080");
        QVERIFY(command.isProxyRequested());
        QVERIFY(!command.getArgumentsMacOSX().join(' ').contains("1080"));
        command.setProxyDirect();
        QVERIFY(!command.isProxyRequested());
        command.setHttpProxy("127.0.0.1", "1080");
        QVERIFY(command.isProxyRequested());
        QVERIFY(!command.getArgumentsMacOSX().join(' ').contains("1080"));
    }
};

QTEST_GUILESS_MAIN(TestOpenConnectValues)
#include "tst_openconnect_values.moc"
