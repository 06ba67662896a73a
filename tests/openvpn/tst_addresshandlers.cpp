#include "RecordingOsAbstraction.h"

#include "backend/BindIpv6Handler.h"
#include "backend/DedicatedIpHandler.h"
#include "backend/IpPoolHandler.h"
#include "backend/PinnedIPHandler.h"
#include "backend/StaticIpPool.h"
#include "core/IpPoolList.h"
#include "openvpn/OpenVpnCommand.h"
#include "openvpn/Remote.h"
#include "prefs/Settings.h"

#include <QtTest>

// Counts how often the pools are reshuffled.
class CountingPool : public IpPoolInterface
{
public:
    explicit CountingPool(int &shuffles)
        : IpPoolInterface(STATIC_IP)
        , m_shuffles(shuffles)
    {
    }
    bool hasValidIp() const override { return true; }
    QHostAddress getIp() const override { return QHostAddress("192.0.2.5"); }
    void shuffleIps() override { ++m_shuffles; }
    QString toString() const override { return "counting"; }

private:
    int &m_shuffles;
};

class TestAddressHandlers : public QObject
{
    Q_OBJECT

    static QSharedPointer<IpPoolInterface> pool(const QString &address)
    {
        return QSharedPointer<IpPoolInterface>(new StaticIpPool({QHostAddress(address)}));
    }

    // Every address handler answers a remote query the same way.
    static QList<QSharedPointer<OpenVpnLifeCycleHandler>> addressHandlers(IpPoolList &pools)
    {
        return {QSharedPointer<OpenVpnLifeCycleHandler>(new IpPoolHandler(pools)),
                QSharedPointer<OpenVpnLifeCycleHandler>(new PinnedIPHandler(pools)),
                QSharedPointer<OpenVpnLifeCycleHandler>(new DedicatedIpHandler(pools))};
    }

private slots:
    void init() { Settings().clear(); }

    void remoteAnswer_data()
    {
        QTest::addColumn<QString>("poolAddress");
        QTest::addColumn<QString>("queried");
        QTest::addColumn<QString>("host");
        QTest::addColumn<bool>("modified");
        QTest::newRow("pool address") << "192.0.2.7"
                                      << "vpn.example.net"
                                      << "192.0.2.7" << true;
        QTest::newRow("already that address") << "192.0.2.7"
                                              << "192.0.2.7"
                                              << "192.0.2.7" << false;
        QTest::newRow("no valid address") << ""
                                          << "vpn.example.net"
                                          << "vpn.example.net" << false;
        QTest::newRow("any address") << "0.0.0.0"
                                     << "vpn.example.net"
                                     << "vpn.example.net" << false;
    }
    void remoteAnswer()
    {
        QFETCH(QString, poolAddress);
        QFETCH(QString, queried);
        IpPoolList pools;
        if (!poolAddress.isEmpty())
            pools.append(pool(poolAddress));
        for (const auto &handler : addressHandlers(pools)) {
            Remote remote(queried, 1194, "udp");
            handler->onRemote(remote);
            QTEST(remote.getHost(), "host");
            QTEST(remote.isModified(), "modified");
        }
    }

    void everyAddressHandlerAsksForTheRemoteQuery()
    {
        RecordingOsAbstraction os;
        IpPoolList pools;
        pools.append(pool("192.0.2.9"));
        for (const auto &handler : addressHandlers(pools)) {
            OpenVpnCommand command(os, QFileInfo("/tmp/a.ovpn"), 1);
            handler->onOpenVpnPrepareArguments(command);
            QCOMPARE(command.getArgumentsMacOSX().at(5), QStringLiteral("true"));
        }
    }

    void dedicatedAddressBecomesAnEngineRemote()
    {
        RecordingOsAbstraction os;
        IpPoolList pools;
        pools.append(pool("198.51.100.4"));
        DedicatedIpHandler handler(pools);
        OpenVpnCommand command(os, QFileInfo("/tmp/a.ovpn"), 1);
        handler.onOpenVpnPrepareArguments(command);
        const QStringList arguments = command.getArgumentsMacOSX();
        QCOMPARE(arguments.mid(arguments.size() - 4, 2), (QStringList {"1", "198.51.100.4"}));
    }

    void reconnectsReshuffleFromTheFourthOn()
    {
        int shuffles = 0;
        IpPoolList pools;
        pools.append(QSharedPointer<IpPoolInterface>(new CountingPool(shuffles)));
        IpPoolHandler handler(pools);
        const OpenVpnStateReconnecting reconnecting("ping-restart");
        QList<int> seen;
        for (int i = 0; i < 5; ++i) {
            handler.onState(reconnecting);
            seen << shuffles;
        }
        QCOMPARE(seen, (QList<int> {0, 0, 0, 1, 2}));
        handler.onState(OpenVpnStateConnected("SUCCESS", "10.8.0.6", "192.0.2.1"));
        for (int i = 0; i < 3; ++i)
            handler.onState(reconnecting);
        QCOMPARE(shuffles, 2);
    }

    void endOfEngineEmptiesThePools_data()
    {
        QTest::addColumn<bool>("failedToStart");
        QTest::newRow("terminated") << false;
        QTest::newRow("failed to start") << true;
    }
    void endOfEngineEmptiesThePools()
    {
        QFETCH(bool, failedToStart);
        IpPoolList pools;
        pools.append(pool("192.0.2.7"));
        IpPoolHandler handler(pools);
        failedToStart ? handler.onOpenVpnFailedToStart() : handler.onOpenVpnTerminated();
        QVERIFY(pools.getPools().isEmpty());
        Remote remote("vpn.example.net", 1194, "udp");
        handler.onRemote(remote);
        QVERIFY(!remote.isModified());
    }

    void ipv6IsBoundOnlyWhenPreventionApplies_data()
    {
        QTest::addColumn<bool>("preference");
        QTest::addColumn<bool>("layerCan");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("on") << true << true << QStringList {"canBindIpv6", "bindIpv6", "unbindIpv6"};
        QTest::newRow("preference off") << false << true << QStringList {"unbindIpv6"};
        QTest::newRow("layer cannot") << true << false << QStringList {"canBindIpv6", "unbindIpv6"};
    }
    void ipv6IsBoundOnlyWhenPreventionApplies()
    {
        QFETCH(bool, preference);
        QFETCH(bool, layerCan);
        Settings().setPreventIPv6Leak(preference);
        RecordingOsAbstraction os;
        os.ipv6Binding = layerCan;
        BindIpv6Handler handler(os);
        OpenVpnCommand command(os, QFileInfo("/tmp/a.ovpn"), 1);
        handler.onOpenVpnPrepareArguments(command);
        handler.onOpenVpnTerminated();
        QTEST(os.calls, "calls");
    }

    void ipv6IsReleasedWhenTheEngineFailsToStart()
    {
        Settings().setPreventIPv6Leak(true);
        RecordingOsAbstraction os;
        os.ipv6Binding = true;
        BindIpv6Handler handler(os);
        OpenVpnCommand command(os, QFileInfo("/tmp/a.ovpn"), 1);
        handler.onOpenVpnPrepareArguments(command);
        handler.onOpenVpnFailedToStart();
        QCOMPARE(os.calls, (QStringList {"canBindIpv6", "bindIpv6", "unbindIpv6"}));
    }
};

QTEST_GUILESS_MAIN(TestAddressHandlers)
#include "tst_addresshandlers.moc"
