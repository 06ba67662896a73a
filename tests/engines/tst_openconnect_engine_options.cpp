#include "CommandChannel.h"
#include "OpenConnectEngineOptions.h"
#include "SocketNoDelay.h"

#include <QTcpServer>

#include <QTest>

using Arguments = std::vector<std::string>;
Q_DECLARE_METATYPE(Arguments)

class TestOpenConnectEngineOptions : public QObject
{
    Q_OBJECT

private slots:
    // The engine's lines go out at once on both channels, not after the
    // client's delayed acknowledgement of the one before.
    void commandChannelsSendAtOnce()
    {
        QTcpServer commands;
        QTcpServer commandWrites;
        QVERIFY(commands.listen(QHostAddress::LocalHost) && commandWrites.listen(QHostAddress::LocalHost));
        const engines::CommandChannel channel(commands.serverPort(), commandWrites.serverPort(),
                                              "0123456789abcdef0123456789abcdef");
        QCOMPARE(SocketNoDelay::ofConnectedTo(commands.serverPort()), QList<int> {1});
        QCOMPARE(SocketNoDelay::ofConnectedTo(commandWrites.serverPort()), QList<int> {1});
    }

    void parsesTheHelperCommandLine()
    {
        const auto options = engines::OpenConnectEngineOptions::parse(
            {"https://vpn.orvalvpn.test:443/", "--verbose", "--vyx-port-cmd-fd", "40001", "--vyx-port-cmd-fd-write",
             "40002", "--script", "/b/vpnc-script", "--no-dtls", "--reconnect-timeout", "172800"});
        QCOMPARE(QString::fromStdString(options.server), QStringLiteral("https://vpn.orvalvpn.test:443/"));
        QVERIFY(options.verbose);
        QCOMPARE(options.commandPort, 40001);
        QCOMPARE(options.commandWritePort, 40002);
        QCOMPARE(QString::fromStdString(options.script), QStringLiteral("/b/vpnc-script"));
        QVERIFY(options.disableDtls);
        QCOMPARE(options.reconnectTimeout, 172800);
    }

    void refuses_data()
    {
        QTest::addColumn<Arguments>("arguments");
        const Arguments ports {"--vyx-port-cmd-fd", "1", "--vyx-port-cmd-fd-write", "2", "--script", "s"};
        auto with = [&](Arguments front, Arguments back = {}) {
            front.insert(front.end(), ports.begin(), ports.end());
            front.insert(front.end(), back.begin(), back.end());
            return front;
        };
        QTest::newRow("no arguments") << Arguments {};
        QTest::newRow("server not first") << Arguments {"--verbose", "https://h:1/"};
        QTest::newRow("plain http") << with({"http://h:1/"});
        QTest::newRow("unknown option") << with({"https://h:1/"}, {"--setuid", "root"});
        QTest::newRow("port out of range") << with({"https://h:1/"}, {"--vyx-port-cmd-fd", "70000"});
        QTest::newRow("port with trailing text") << with({"https://h:1/"}, {"--vyx-port-cmd-fd", "12x"});
        QTest::newRow("missing value") << with({"https://h:1/"}, {"--reconnect-timeout"});
        QTest::newRow("no ports") << Arguments {"https://h:1/", "--script", "s"};
        QTest::newRow("no script") << Arguments {"https://h:1/", "--vyx-port-cmd-fd", "1", "--vyx-port-cmd-fd-write",
                                                 "2"};
    }

    void refuses()
    {
        QFETCH(Arguments, arguments);
        QVERIFY_EXCEPTION_THROWN(engines::OpenConnectEngineOptions::parse(arguments), std::invalid_argument);
    }
};

QTEST_GUILESS_MAIN(TestOpenConnectEngineOptions)
#include "tst_openconnect_engine_options.moc"
