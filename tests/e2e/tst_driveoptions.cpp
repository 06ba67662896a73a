#include "DriveOptions.h"
#include "EventLog.h"

#include "openconnect/OpenConnectConnectVia.h"
#include "openvpn/ConnectVia.h"

#include <QtTest>

// The driver's command line: what the connection tests and demos ask for
// must turn into exactly that transport, and nothing ambiguous may start.
class TestDriveOptions : public QObject
{
    Q_OBJECT

private slots:
    void acceptedCommandLines_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("via");
        QTest::addColumn<bool>("stunnel");
        QTest::addColumn<bool>("openConnect");
        QTest::addColumn<int>("timeout");
        const QStringList site {"--site", "USA-Dallas"};
        QTest::newRow("defaults: UDP") << site << int(ConnectVia::Udp) << false << false << 0;
        QTest::newRow("tcp") << site + QStringList {"--protocol", "tcp"} << int(ConnectVia::Tcp) << false << false << 0;
        QTest::newRow("via udp") << site + QStringList {"--via", "udp"} << int(ConnectVia::Udp) << false << false << 0;
        QTest::newRow("protocol and via agree")
            << site + QStringList {"--protocol", "tcp", "--via", "tcp"} << int(ConnectVia::Tcp) << false << false << 0;
        QTest::newRow("stealth") << site + QStringList {"--via", "stealth"} << int(ConnectVia::TcpWithStealthProxy)
                                 << false << false << 0;
        QTest::newRow("custom over tcp") << site + QStringList {"--protocol", "tcp", "--via", "custom"}
                                         << int(ConnectVia::TcpWithCustomProxy) << false << false << 0;
        QTest::newRow("stunnel") << site + QStringList {"--protocol", "tcp", "--stunnel"} << int(ConnectVia::Tcp)
                                 << true << false << 0;
        QTest::newRow("openconnect over tcp") << site + QStringList {"--tunnel", "openconnect", "--protocol", "tcp"}
                                              << int(ConnectVia::Tcp) << false << true << 0;
        QTest::newRow("timeout") << site + QStringList {"--connect-timeout", "25"} << int(ConnectVia::Udp) << false
                                 << false << 25;
    }

    void acceptedCommandLines()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, via);
        QFETCH(bool, stunnel);
        QFETCH(bool, openConnect);
        QFETCH(int, timeout);
        const DriveOptions options = DriveOptions::parse(arguments);
        QVERIFY2(options.isValid(), qPrintable(options.error()));
        QCOMPARE(options.site(), QString("USA-Dallas"));
        QCOMPARE(int(options.openVpnVia().getType()), via);
        QCOMPARE(int(options.openConnectVia().getType()), via);
        QCOMPARE(options.stunnel(), stunnel);
        QCOMPARE(options.tunnel() == DriveOptions::Tunnel::OpenConnect, openConnect);
        QCOMPARE(options.connectTimeout(), timeout);
    }

    void credentialsAreTakenAsGiven()
    {
        const DriveOptions options =
            DriveOptions::parse({"--site", "X", "--user", "alice", "--password", "it's \"s3cret\" $x"});
        QVERIFY(options.isValid());
        QCOMPARE(options.user(), QString("alice"));
        QCOMPARE(options.password(), QString("it's \"s3cret\" $x"));
    }

    void rejectedCommandLines_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("no site") << QStringList {"--protocol", "udp"};
        QTest::newRow("empty site") << QStringList {"--site", ""};
        QTest::newRow("unknown option") << QStringList {"--site", "X", "--verbose"};
        QTest::newRow("stray argument") << QStringList {"--site", "X", "udp"};
        QTest::newRow("unknown protocol") << QStringList {"--site", "X", "--protocol", "sctp"};
        QTest::newRow("unknown transport") << QStringList {"--site", "X", "--via", "carrier-pigeon"};
        QTest::newRow("udp against tcp") << QStringList {"--site", "X", "--protocol", "udp", "--via", "tcp"};
        QTest::newRow("proxy over udp") << QStringList {"--site", "X", "--protocol", "udp", "--via", "stealth"};
        QTest::newRow("unknown tunnel") << QStringList {"--site", "X", "--tunnel", "wireguard"};
        QTest::newRow("stunnel with openconnect")
            << QStringList {"--site", "X", "--tunnel", "openconnect", "--stunnel"};
        QTest::newRow("timeout not a number") << QStringList {"--site", "X", "--connect-timeout", "soon"};
        QTest::newRow("timeout zero") << QStringList {"--site", "X", "--connect-timeout", "0"};
        QTest::newRow("timeout negative") << QStringList {"--site", "X", "--connect-timeout", "-5"};
        QTest::newRow("value missing") << QStringList {"--site"};
    }

    void rejectedCommandLines()
    {
        QFETCH(QStringList, arguments);
        const DriveOptions options = DriveOptions::parse(arguments);
        QVERIFY(!options.isValid());
        QVERIFY(!options.error().isEmpty());
    }

    void eventTextsStayOnOneLine_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("line");
        QTest::newRow("plain") << "state CONNECTED"
                               << "state CONNECTED";
        QTest::newRow("line feed") << "error A.\nB. | "
                                   << "error A.\\nB. | ";
        QTest::newRow("carriage return and line feed") << "a\r\nb"
                                                       << "a\\nb";
        QTest::newRow("carriage return") << "a\rb"
                                         << "a\\nb";
    }

    void eventTextsStayOnOneLine()
    {
        QFETCH(QString, text);
        QFETCH(QString, line);
        QCOMPARE(EventLog::oneLine(text), line);
    }
};

QTEST_GUILESS_MAIN(TestDriveOptions)
#include "tst_driveoptions.moc"
