#include "../backend/FakeConnectionParameters.h"
#include "../backend/RecordingFrontend.h"
#include "RecordingOsAbstraction.h"

#include "backend/StaticIpPool.h"
#include "backend/TunManagerHandler.h"
#include "core/IpPoolList.h"
#include "openvpn/PushedOptions.h"
#include "openvpn/Remote.h"
#include "prefs/Settings.h"

#include <QtTest>

class TestTunManagerHandler : public QObject
{
    Q_OBJECT

    struct Fixture
    {
        explicit Fixture(TunManagerHandler::UseFourSplittedDefaultRoute mode = TunManagerHandler::USE_SPLIT_ROUTES)
            : frontend("ui", log)
            , handler(os, QSharedPointer<ConnectionParameters>(new FakeConnectionParameters()), pools, mode, frontend)
        {
        }
        RecordingOsAbstraction os;
        IpPoolList pools;
        QStringList log;
        RecordingFrontend frontend;
        TunManagerHandler handler;
    };

    static PushedOptions pushed(const QString &gateway)
    {
        PushedOptions options;
        options.setUpDown("UP");
        if (!gateway.isEmpty())
            options.addOption("route_vpn_gateway=" + gateway);
        return options;
    }
    static QSharedPointer<IpPoolInterface> pool(const QString &address)
    {
        return QSharedPointer<IpPoolInterface>(new StaticIpPool({QHostAddress(address)}));
    }

private slots:
    void init() { Settings().clear(); }

    void splitRoutesFollowThePushedGateway_data()
    {
        QTest::addColumn<bool>("ipv6");
        QTest::addColumn<bool>("down");
        QTest::addColumn<QStringList>("calls");
        const QStringList ipv4 {"remove4SplittedRoutes", "add4SplittedRoutesToGateway 10.8.0.1"};
        const QStringList ipv6 {"remove4SplittedRoutes", "removeSplittedIPv6Routes",
                                "add4SplittedRoutesToGateway 10.8.0.1", "addSplittedIPv6RoutesToGateway fd00:1234::2"};
        QTest::newRow("up, ipv4 only") << false << false << ipv4;
        QTest::newRow("down, ipv4 only") << false << true << ipv4;
        QTest::newRow("up, ipv6 leak prevention") << true << false << ipv6;
    }
    void splitRoutesFollowThePushedGateway()
    {
        QFETCH(bool, ipv6);
        QFETCH(bool, down);
        Settings().setPreventIPv6Leak(ipv6);
        Fixture f;
        down ? f.handler.onDown(pushed("10.8.0.1")) : f.handler.onUp(pushed("10.8.0.1"));
        QTEST(f.os.calls, "calls");
    }

    void connectedRenewsAndReconnectingRemoves()
    {
        Settings().setPreventIPv6Leak(false);
        Fixture f;
        f.handler.onUp(pushed("10.8.0.1"));
        f.os.calls.clear();
        f.handler.onState(OpenVpnStateConnected("SUCCESS", "10.8.0.6", "192.0.2.1"));
        f.handler.onState(OpenVpnStateReconnecting("ping-restart"));
        QCOMPARE(f.os.calls, (QStringList {"remove4SplittedRoutes", "add4SplittedRoutesToGateway 10.8.0.1",
                                           "remove4SplittedRoutes"}));
    }

    void noGatewayMeansNoSplitRoutesAndOneMessage()
    {
        Fixture f;
        f.handler.onState(OpenVpnStateConnected("SUCCESS", "10.8.0.6", "192.0.2.1"));
        f.handler.onUp(pushed(QString()));
        QVERIFY(f.os.callsOf("add4SplittedRoutesToGateway").isEmpty());
        QVERIFY(f.os.callsOf("addSplittedIPv6RoutesToGateway").isEmpty());
        QCOMPARE(f.log.size(), 1);
        QVERIFY(f.log.first().startsWith("ui:error "));
        f.handler.onUp(pushed("10.8.0.1"));
        QCOMPARE(f.os.callsOf("add4SplittedRoutesToGateway"), QStringList {"add4SplittedRoutesToGateway 10.8.0.1"});
    }

    void modeOneNeverTouchesSplitRoutes()
    {
        Fixture f(TunManagerHandler::NO_SPLIT_ROUTES);
        f.pools.append(pool("192.0.2.10"));
        Remote remote("vpn.example.net", 443, "tcp");
        f.handler.onRemote(remote);
        f.handler.onUp(pushed("10.8.0.1"));
        f.handler.onState(OpenVpnStateConnected("SUCCESS", "10.8.0.6", "192.0.2.1"));
        f.handler.onOpenVpnTerminated();
        QCOMPARE(f.os.calls, (QStringList {"protectHost 192.0.2.10", "releaseHost 192.0.2.10"}));
        QCOMPARE(remote.getHost(), QStringLiteral("192.0.2.10"));
    }

    void remoteQueriesPinTheirAddress()
    {
        Fixture f;
        f.pools.append(pool("192.0.2.10"));
        Remote first("vpn.example.net", 1194, "udp");
        f.handler.onRemote(first);
        QVERIFY(first.isModified());
        f.pools.clear();
        f.pools.append(pool("192.0.2.11"));
        Remote second("192.0.2.11", 1194, "udp");
        f.handler.onRemote(second);
        QVERIFY(!second.isModified());
        QCOMPARE(f.os.calls,
                 (QStringList {"protectHost 192.0.2.10", "releaseHost 192.0.2.10", "protectHost 192.0.2.11"}));
    }

    void noAddressLeavesEverythingAlone()
    {
        Fixture f;
        Remote remote("vpn.example.net", 1194, "udp");
        f.handler.onRemote(remote);
        f.handler.onOpenVpnFailedToStart();
        f.handler.onOpenVpnTerminated();
        QVERIFY(!remote.isModified());
        QVERIFY(f.os.callsOf("protectHost").isEmpty());
        QVERIFY(f.os.callsOf("releaseHost").isEmpty());
    }

    void hostRouteIsReleasedOnce()
    {
        Fixture f;
        f.pools.append(pool("192.0.2.10"));
        Remote remote("vpn.example.net", 1194, "udp");
        f.handler.onRemote(remote);
        f.handler.onOpenVpnFailedToStart();
        f.handler.onOpenVpnTerminated();
        QCOMPARE(f.os.callsOf("releaseHost"), QStringList {"releaseHost 192.0.2.10"});
    }

    void killSwitchCheckAfterTermination_data()
    {
        QTest::addColumn<bool>("armAfterFirst");
        QTest::addColumn<bool>("connected");
        QTest::addColumn<bool>("disabled");
        QTest::addColumn<int>("checks");
        QTest::addColumn<int>("errors");
        QTest::newRow("armed after first connection, never connected") << true << false << true << 0 << 0;
        QTest::newRow("armed after first connection, connected") << true << true << true << 2 << 0;
        QTest::newRow("always armed, never connected") << false << false << true << 2 << 0;
        QTest::newRow("interfaces stay up") << false << false << false << 121 << 1;
    }
    void killSwitchCheckAfterTermination()
    {
        QFETCH(bool, armAfterFirst);
        QFETCH(bool, connected);
        QFETCH(bool, disabled);
        {
            Settings settings;
            settings.setArmKillswitchAfterFirstConnection(armAfterFirst);
            settings.setInternetKillSwitch(true);
        }
        Fixture f;
        f.handler.setInterfaceCheckPause(1);
        f.os.interfacesDisabled = disabled;
        if (connected)
            f.handler.onState(OpenVpnStateConnected("SUCCESS", "10.8.0.6", "192.0.2.1"));
        f.handler.onOpenVpnTerminated();
        QTEST(int(f.os.callsOf("areInterfacesDisabled").size()), "checks");
        QTEST(int(f.log.filter("interfaces could not").size()), "errors");
    }

    void interfacesStillEnabledAreReported()
    {
        {
            Settings settings;
            settings.setArmKillswitchAfterFirstConnection(false);
            settings.setInternetKillSwitch(true);
            settings.setInternetKillSwitchDisabledInterfaces({"Wi-Fi"});
        }
        Fixture f;
        int checks = 0;
        f.os.interfacesDisabled = false;
        f.os.onCall = [&](const QString &line) {
            // The second check finds the interface down.
            if (line.startsWith("areInterfacesDisabled") && ++checks == 2)
                f.os.interfacesDisabled = true;
        };
        f.handler.onOpenVpnTerminated();
        QCOMPARE(f.os.callsOf("areInterfacesDisabled").first(), QStringLiteral("areInterfacesDisabled [Wi-Fi]"));
        QVERIFY(f.log.isEmpty());

        Fixture stuck;
        stuck.os.interfacesDisabled = false;
        stuck.handler.setInterfaceCheckPause(1);
        Settings settings;
        stuck.handler.checkIKSInterfacesAreDisabled(settings);
        QCOMPARE(stuck.os.callsOf("areInterfacesDisabled").size(), 121);
        QCOMPARE(stuck.log, QStringList {"ui:error One or more interfaces could not be disabled properly."});
    }
};

QTEST_GUILESS_MAIN(TestTunManagerHandler)
#include "tst_tunmanagerhandler.moc"
