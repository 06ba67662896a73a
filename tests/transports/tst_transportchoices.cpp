#include "RecordingFrontendLog.h"
#include "RecordingOsAbstraction.h"
#include "TransportFixtures.h"

#include "core/HandlerList.h"
#include "openvpn/ConnectVia.h"
#include "openvpn/ProxyConfigurator.h"
#include "openvpn/ShadowSocksLauncher.h"
#include "prefs/Settings.h"

using namespace TransportFixtures;

// The handlers the transport choices add, and the user's own proxy.
class TestTransportChoices : public QObject
{
    Q_OBJECT

private slots:
    void onlyProxyChoicesAddAHandler_data()
    {
        QTest::addColumn<QString>("choice");
        QTest::addColumn<QString>("handler");
        QTest::newRow("UDP") << "UDP"
                             << "";
        QTest::newRow("TCP") << "TCP"
                             << "";
        QTest::newRow("stealth proxy") << "TCP_WITH_STEALTH_PROXY"
                                       << "ShadowSocksLauncher";
        QTest::newRow("custom proxy") << "TCP_WITH_CUSTOM_PROXY"
                                      << "ProxyConfigurator";
    }

    void onlyProxyChoicesAddAHandler()
    {
        QFETCH(QString, choice);
        QFETCH(QString, handler);
        RecordingOsAbstraction os;
        RecordingFrontendLog frontend;
        HandlerList handlers;
        const QSharedPointer<OpenVpnLifeCycleHandler> first(new ProxyConfigurator);
        handlers.list.append(first);
        const ConnectVia &via = ConnectVia::fromString(choice);
        via.setUpHandler(os, handlers, {}, frontend);
        QCOMPARE(via.isProxy(), !handler.isEmpty());
        QCOMPARE(handlers.list.size(), handler.isEmpty() ? 1 : 2);
        QCOMPARE(handlers.list.first(), first);
        if (handler == "ShadowSocksLauncher")
            QVERIFY(handlers.list.last().dynamicCast<ShadowSocksLauncher>());
        else if (handler == "ProxyConfigurator")
            QVERIFY(handlers.list.last().dynamicCast<ProxyConfigurator>());
        QVERIFY(os.calls.isEmpty());
    }

    void customProxyReplacesTheCommandsProxy_data()
    {
        QTest::addColumn<int>("protocol");
        QTest::addColumn<QString>("expected");
        QTest::newRow("SOCKS5") << int(Settings::SOCKS5) << "socks5 10.0.0.1 1080";
        QTest::newRow("HTTP") << int(Settings::HTTP) << "http 10.0.0.1 1080";
    }

    void customProxyReplacesTheCommandsProxy()
    {
        QFETCH(int, protocol);
        QFETCH(QString, expected);
        Settings settings;
        settings.setProxyProtocol(Settings::ProxyProtocol(protocol));
        settings.setProxyAddress("10.0.0.1");
        settings.setProxyPort("1080");
        RecordingVpnCommand command;
        command.setHttpProxy("192.0.2.1", "3128");
        ProxyConfigurator().onOpenVpnPrepareArguments(command);
        QCOMPARE(command.calls.last(), expected);
    }
};

QTEST_GUILESS_MAIN(TestTransportChoices)
#include "tst_transportchoices.moc"
