#include "../handlers/RecordingStateTracker.h"
#include "OpenConnectTestDoubles.h"
#include "RecordingOsAbstraction.h"

#include "core/HandlerList.h"
#include "core/IpPoolList.h"
#include "core/VpnStartup.h"
#include "openconnect/OpenConnectConnectVia.h"
#include "openconnect/OpenConnectConnectionParameters.h"
#include "openconnect/OpenConnectManagementSocket.h"
#include "openvpn/ManagementSocket.h"
#include "system/DnsStack.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QTemporaryDir>
#include <QTest>

class TestOpenConnectParameters : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QFile file(m_dir.filePath("dallas-udp.conf"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("client\nremote a.vpn.example 1194\n  remote b.vpn.example 1194 udp\n");
    }

    void transports_data()
    {
        QTest::addColumn<int>("via");
        QTest::addColumn<int>("protocol");
        QTest::addColumn<bool>("proxy");
        QTest::newRow("UDP") << int(OpenConnectConnectVia::Udp) << int(HalvorixServerSite::UDP) << false;
        QTest::newRow("TCP") << int(OpenConnectConnectVia::Tcp) << int(HalvorixServerSite::TCP) << false;
        QTest::newRow("stealth") << int(OpenConnectConnectVia::TcpWithStealthProxy) << int(HalvorixServerSite::TCP)
                                 << true;
        QTest::newRow("custom proxy") << int(OpenConnectConnectVia::TcpWithCustomProxy) << int(HalvorixServerSite::TCP)
                                      << true;
    }

    void transports()
    {
        QFETCH(int, via);
        QFETCH(int, protocol);
        QFETCH(bool, proxy);
        const OpenConnectConnectionParameters parameters(site(), transport(via), Settings::IksSettings(), true, true);
        QCOMPARE(int(parameters.getProtocol()), protocol);
        QCOMPARE(parameters.usesProxy(), proxy);
        // The UDP file serves every transport.
        QCOMPARE(parameters.getConfigFile().fileName(), QStringLiteral("dallas-udp.conf"));
        QCOMPARE(parameters.getHostNamesList(), QStringList({"a.vpn.example", "b.vpn.example"}));
    }

    void withCopiesChangeOneFieldOnly()
    {
        OpenConnectConnectionParameters parameters(site(), OpenConnectConnectVia::TCP(), Settings::IksSettings(2), true,
                                                   false);
        const QSharedPointer<ConnectionParameters> noTunTap = parameters.withTunTapDriverCheck(false);
        QVERIFY(parameters.getTunTapDriverCheck());
        QVERIFY(!noTunTap->getTunTapDriverCheck());
        QCOMPARE(noTunTap->getIksSettings(), Settings::IksSettings(2));
        QCOMPARE(noTunTap->getManageRouteProgramCheck(), false);
        QCOMPARE(noTunTap->getServerSite(), parameters.getServerSite());
        QCOMPARE(noTunTap->getProtocol(), HalvorixServerSite::TCP);

        const QSharedPointer<ConnectionParameters> routeCheck = parameters.withManageRouteProgramCheck(true);
        QVERIFY(routeCheck->getManageRouteProgramCheck() && !parameters.getManageRouteProgramCheck());
        QVERIFY(routeCheck->getTunTapDriverCheck());
        const QSharedPointer<ConnectionParameters> iks = parameters.withIksSettings(Settings::IksSettings(1));
        QCOMPARE(iks->getIksSettings(), Settings::IksSettings(1));
        QCOMPARE(parameters.getIksSettings(), Settings::IksSettings(2));
    }

    // The start-up of an OpenConnect attempt drives the OpenConnect channel.
    void startUpIsCreated()
    {
        RecordingOsAbstraction os;
        RecordingFrontend frontend;
        RecordingHandler handler;
        RecordingStateTracker tracker;
        DnsStack dnsStack(os);
        HandlerList handlers;
        IpPoolList pools;
        QNetworkAccessManager network;
        ManagementSocket openVpnSocket(os, handler);
        OpenConnectManagementSocket openConnectSocket(os, frontend, handler);
        Settings settings;
        QSharedPointer<ConnectionParameters> parameters(new OpenConnectConnectionParameters(
            site(), OpenConnectConnectVia::TCP(), Settings::IksSettings(), true, true));
        QVERIFY(!parameters
                     ->createVpnStartup(settings, parameters, &network, frontend, tracker, os, dnsStack, handlers,
                                        pools, openVpnSocket, openConnectSocket, {})
                     .isNull());
    }

    void texts()
    {
        const OpenConnectConnectionParameters parameters(site(), OpenConnectConnectVia::UDP(), Settings::IksSettings(),
                                                         true, true);
        QCOMPARE(parameters.getConnectionInfo(),
                 QStringLiteral("ServerSite: USA-Dallas\nTunnelType: OpenConnect\nProtocol: UDP"));
        QCOMPARE(parameters.getVpnPreparingString(), QStringLiteral("PREPARE_OPENCONNECT_ENVIRONMENT"));
        QCOMPARE(parameters.getVpnStartingString(), QStringLiteral("OPENCONNECT_STARTING"));
        QCOMPARE(parameters.getCipherName(), QStringLiteral("n/a"));
        QVERIFY(!parameters.isCipherStealth() && !parameters.hasCipherAuthName());
        QCOMPARE(parameters.getSTunnelMode(), ConnectionParameters::NO_STUNNEL);
    }

private:
    static const OpenConnectConnectVia &transport(int type)
    {
        switch (type) {
        case OpenConnectConnectVia::Udp: return OpenConnectConnectVia::UDP();
        case OpenConnectConnectVia::Tcp: return OpenConnectConnectVia::TCP();
        case OpenConnectConnectVia::TcpWithStealthProxy: return OpenConnectConnectVia::TCP_WITH_STEALTH_PROXY();
        default: return OpenConnectConnectVia::TCP_WITH_CUSTOM_PROXY();
        }
    }

    HalvorixServerSite site() const
    {
        return HalvorixServerSite("USA", "Dallas", "dallas-udp.conf", "dallas-tcp.conf", false, false,
                                  QDir(m_dir.path()), {}, QHostAddress(), GeoLocation(), QString(), 0);
    }

    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestOpenConnectParameters)
#include "tst_openconnect_parameters.moc"
