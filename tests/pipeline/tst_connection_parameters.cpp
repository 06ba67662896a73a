#include "../backend/RecordingFrontend.h"
#include "../handlers/RecordingStateTracker.h"
#include "RecordingOsAbstraction.h"

#include "backend/CipherHandler.h"
#include "backend/OpenVpnConnectionParameters.h"
#include "backend/TunManagerHandler.h"
#include "catalogue/BackendOpenVPNConfigCipher.h"
#include "catalogue/NullConnectionParameters.h"
#include "core/HandlerList.h"
#include "core/IpPoolList.h"
#include "core/NullVpnStartup.h"
#include "openvpn/ConnectVia.h"
#include "openvpn/ProxyConfigurator.h"
#include "openvpn/ShadowSocksLauncher.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// What each parameter class answers to one operation, as text.
using Answer = std::function<QString(ConnectionParameters &)>;

QString yesNo(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

} // namespace

Q_DECLARE_METATYPE(Answer)

class TestConnectionParameters : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        writeFile("paris-udp.conf", "client\nremote udp-a.vpn.example 1194\nremote udp-b.vpn.example 1194 udp\n");
        writeFile("paris-tcp.conf", "client\nproto tcp\nremote tcp-a.vpn.example 443\n");
    }

    void operations_data()
    {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<QString>("openVpn");
        QTest::addColumn<QString>("null");

        QTest::newRow("getIksSettings") << Answer([](ConnectionParameters &p) { return num(p.getIksSettings()); })
                                        << "1"
                                        << "2";
        QTest::newRow("getManageRouteProgramCheck")
            << Answer([](ConnectionParameters &p) { return yesNo(p.getManageRouteProgramCheck()); }) << "true"
            << "false";
        QTest::newRow("getTunTapDriverCheck")
            << Answer([](ConnectionParameters &p) { return yesNo(p.getTunTapDriverCheck()); }) << "false"
            << "false";
        QTest::newRow("getConfigFile") << Answer([](ConnectionParameters &p) { return p.getConfigFile().fileName(); })
                                       << "paris-udp.conf"
                                       << "";
        QTest::newRow("getServerSite") << Answer([](ConnectionParameters &p) { return p.getServerSite().getId(); })
                                       << "FRA-Paris" << HalvorixServerSite().getId();
        QTest::newRow("getProtocol") << Answer([](ConnectionParameters &p) { return num(p.getProtocol()); }) << "0"
                                     << "0";
        QTest::newRow("getVpnPreparingString")
            << Answer([](ConnectionParameters &p) { return p.getVpnPreparingString(); })
            << "PREPARE_OPENVPN_ENVIRONMENT"
            << "PREPARE_GENERIC_VPN_ENVIRONMENT";
        QTest::newRow("getVpnStartingString")
            << Answer([](ConnectionParameters &p) { return p.getVpnStartingString(); }) << "OPENVPN_STARTING"
            << "GENERIC_VPN_STARTING";
        QTest::newRow("isCipherStealth") << Answer([](ConnectionParameters &p) { return yesNo(p.isCipherStealth()); })
                                         << "false"
                                         << "false";
        QTest::newRow("getCipherName") << Answer([](ConnectionParameters &p) { return p.getCipherName(); })
                                       << "AES-256-GCM"
                                       << "n/a";
        QTest::newRow("hasCipherAuthName")
            << Answer([](ConnectionParameters &p) { return yesNo(p.hasCipherAuthName()); }) << "true"
            << "false";
        QTest::newRow("getCipherAuthName")
            << Answer([](ConnectionParameters &p) { return p.getCipherAuthName(); }) << "SHA512"
            << "";
        QTest::newRow("getSTunnelMode") << Answer([](ConnectionParameters &p) { return num(p.getSTunnelMode()); })
                                        << "1"
                                        << "1";
        QTest::newRow("getCipher valid") << Answer([](ConnectionParameters &p) {
            return yesNo(p.getCipher().isValid());
        }) << "true"
                                         << "false";
        QTest::newRow("getHostNamesList")
            << Answer([](ConnectionParameters &p) { return p.getHostNamesList().join(','); })
            << "udp-a.vpn.example,udp-b.vpn.example"
            << "";
        QTest::newRow("getTunnelType") << Answer([](ConnectionParameters &p) { return p.getTunnelType().toString(); })
                                       << "OpenVPN"
                                       << "OpenVPN";
        QTest::newRow("getConnectionInfo null")
            << Answer([](ConnectionParameters &p) { return yesNo(p.getConnectionInfo().isEmpty()); }) << "false"
            << "true";
    }

    void operations()
    {
        QFETCH(Answer, answer);
        QFETCH(QString, openVpn);
        QFETCH(QString, null);
        OpenVpnConnectionParameters openVpnParameters(site(), ConnectVia::UDP(), cipher(""),
                                                      ConnectionParameters::NO_STUNNEL, Settings::ENABLE, false, true);
        NullConnectionParameters nullParameters;
        QCOMPARE(answer(openVpnParameters), openVpn);
        QCOMPARE(answer(nullParameters), null);
    }

    void connectionInfo_data()
    {
        QTest::addColumn<int>("stunnelMode");
        QTest::addColumn<QString>("stunnelActive");
        QTest::newRow("stunnel") << 0 << "true";
        QTest::newRow("no stunnel") << 1 << "false";
        QTest::newRow("unknown mode") << 7 << "false";
    }

    void connectionInfo()
    {
        QFETCH(int, stunnelMode);
        QFETCH(QString, stunnelActive);
        const OpenVpnConnectionParameters parameters(site(), ConnectVia::TCP(), cipher(""),
                                                     ConnectionParameters::STunnelMode(stunnelMode), Settings::ASK,
                                                     true, true);
        QCOMPARE(parameters.getConnectionInfo(),
                 "ServerSite: FRA-Paris\nTunnelType: OpenVPN\nProtocol: TCP\nSTunnel active: " + stunnelActive
                     + "\nCipher: AES-256-GCM\nPort: 1194\nAuth: SHA512\nSTunnel available: true\n"
                       "Stealth available: false");
        const OpenVpnConnectionParameters invalid(site(), ConnectVia::UDP(), BackendOpenVPNConfigCipher(),
                                                  ConnectionParameters::STunnelMode(stunnelMode), Settings::ASK, true,
                                                  true);
        QVERIFY(invalid.getConnectionInfo().endsWith("STunnel active: " + stunnelActive + "\nInvalid Cipher"));
    }

    void transportChoosesProtocolAndFile_data()
    {
        QTest::addColumn<QString>("via");
        QTest::addColumn<int>("protocol");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("hosts");
        const QStringList udpHosts {"udp-a.vpn.example", "udp-b.vpn.example"};
        const QStringList tcpHosts {"tcp-a.vpn.example"};
        QTest::newRow("UDP") << "UDP" << 0 << "paris-udp.conf" << udpHosts;
        QTest::newRow("TCP") << "TCP" << 1 << "paris-tcp.conf" << tcpHosts;
        QTest::newRow("stealth") << "TCP_WITH_STEALTH_PROXY" << 1 << "paris-tcp.conf" << tcpHosts;
        QTest::newRow("custom proxy") << "TCP_WITH_CUSTOM_PROXY" << 1 << "paris-tcp.conf" << tcpHosts;
    }

    void transportChoosesProtocolAndFile()
    {
        QFETCH(QString, via);
        QFETCH(int, protocol);
        QFETCH(QString, file);
        QFETCH(QStringList, hosts);
        // The cipher offer is a UDP one: only the transport counts.
        const OpenVpnConnectionParameters parameters(site(), ConnectVia::fromString(via), cipher(""),
                                                     ConnectionParameters::NO_STUNNEL, Settings::ASK, true, true);
        QCOMPARE(int(parameters.getProtocol()), protocol);
        QCOMPARE(parameters.getConfigFile().fileName(), file);
        QCOMPARE(parameters.getHostNamesList(), hosts);
    }

    void emptyAuthIsReportedAsSha1()
    {
        const OpenVpnConnectionParameters parameters(site(), ConnectVia::UDP(), noAuthCipher(),
                                                     ConnectionParameters::NO_STUNNEL, Settings::ASK, true, true);
        QVERIFY(parameters.hasCipherAuthName());
        QCOMPARE(parameters.getCipherAuthName(), QStringLiteral("SHA1"));
    }

    void withCopiesChangeOneFieldOnly()
    {
        OpenVpnConnectionParameters original(site(), ConnectVia::TCP_WITH_STEALTH_PROXY(), cipher("obfuscate"),
                                             ConnectionParameters::WITH_STUNNEL, Settings::NOOP, true, false);

        const auto tunTap = original.withTunTapDriverCheck(false).dynamicCast<OpenVpnConnectionParameters>();
        QVERIFY(tunTap);
        QVERIFY(!tunTap->getTunTapDriverCheck());
        QVERIFY(original.getTunTapDriverCheck());
        QCOMPARE(tunTap->getServerSite(), original.getServerSite());
        QCOMPARE(&tunTap->getConnectVia(), &original.getConnectVia());
        QCOMPARE(tunTap->getCipher(), original.getCipher());
        QCOMPARE(tunTap->getSTunnelMode(), ConnectionParameters::WITH_STUNNEL);
        QCOMPARE(tunTap->getIksSettings(), Settings::NOOP);
        QCOMPARE(tunTap->getManageRouteProgramCheck(), false);

        const auto route = original.withManageRouteProgramCheck(true).dynamicCast<OpenVpnConnectionParameters>();
        QVERIFY(route && route->getManageRouteProgramCheck() && !original.getManageRouteProgramCheck());
        QVERIFY(route->getTunTapDriverCheck());
        QCOMPARE(route->getIksSettings(), Settings::NOOP);

        const auto iks = original.withIksSettings(Settings::ENABLE).dynamicCast<OpenVpnConnectionParameters>();
        QVERIFY(iks);
        QCOMPARE(iks->getIksSettings(), Settings::ENABLE);
        QCOMPARE(original.getIksSettings(), Settings::NOOP);
        QVERIFY(iks->getTunTapDriverCheck() && !iks->getManageRouteProgramCheck());
        QVERIFY(iks->isCipherStealth());
    }

    void nullCopiesStayNull()
    {
        NullConnectionParameters parameters;
        const QList<QSharedPointer<ConnectionParameters>> copies {parameters.withIksSettings(Settings::ENABLE),
                                                                  parameters.withManageRouteProgramCheck(true),
                                                                  parameters.withTunTapDriverCheck(true)};
        for (const QSharedPointer<ConnectionParameters> &copy : copies) {
            QVERIFY(copy.dynamicCast<NullConnectionParameters>());
            QVERIFY(copy.data() != &parameters);
            QCOMPARE(copy->getIksSettings(), Settings::NOOP);
            QVERIFY(!copy->getManageRouteProgramCheck() && !copy->getTunTapDriverCheck());
        }
    }

    void transportHandlers_data()
    {
        QTest::addColumn<QString>("via");
        QTest::addColumn<QString>("handler");
        QTest::newRow("UDP") << "UDP"
                             << "";
        QTest::newRow("TCP") << "TCP"
                             << "";
        QTest::newRow("stealth") << "TCP_WITH_STEALTH_PROXY"
                                 << "ShadowSocksLauncher";
        QTest::newRow("custom proxy") << "TCP_WITH_CUSTOM_PROXY"
                                      << "ProxyConfigurator";
    }

    void transportHandlers()
    {
        QFETCH(QString, via);
        QFETCH(QString, handler);
        const QSharedPointer<ConnectionParameters> parameters(
            new OpenVpnConnectionParameters(site(), ConnectVia::fromString(via), cipher(""),
                                            ConnectionParameters::NO_STUNNEL, Settings::ASK, true, true));
        RecordingOsAbstraction os;
        QStringList log;
        RecordingFrontend frontend("gui", log);
        HandlerList handlers;
        parameters->setUpHandler(os, handlers, parameters, frontend);
        QStringList installed;
        for (const auto &h : handlers.list) {
            if (h.dynamicCast<ShadowSocksLauncher>())
                installed << "ShadowSocksLauncher";
            else if (h.dynamicCast<ProxyConfigurator>())
                installed << "ProxyConfigurator";
            else
                installed << "other";
        }
        QCOMPARE(installed, handler.isEmpty() ? QStringList() : QStringList {handler});
        QVERIFY(os.calls.isEmpty());
        QVERIFY(log.isEmpty());

        // The null parameters install nothing, whatever the transport.
        HandlerList nullHandlers;
        const QSharedPointer<ConnectionParameters> none(new NullConnectionParameters);
        none->setUpHandler(os, nullHandlers, none, frontend);
        QVERIFY(nullHandlers.list.isEmpty());
    }

    void engineHandlers()
    {
        const QSharedPointer<ConnectionParameters> parameters(new OpenVpnConnectionParameters(
            site(), ConnectVia::UDP(), cipher(""), ConnectionParameters::NO_STUNNEL, Settings::ASK, true, true));
        RecordingOsAbstraction os;
        RecordingStateTracker tracker;
        QStringList log;
        RecordingFrontend frontend("gui", log);
        IpPoolList pools;
        QVERIFY(parameters->createCipherHandler(tracker).dynamicCast<CipherHandler>());
        QVERIFY(parameters->createTunManagerHandler(os, parameters, pools, frontend).dynamicCast<TunManagerHandler>());

        const QSharedPointer<ConnectionParameters> none(new NullConnectionParameters);
        const auto nullCipher = none->createCipherHandler(tracker);
        const auto nullTun = none->createTunManagerHandler(os, none, pools, frontend);
        QVERIFY(nullCipher && !nullCipher.dynamicCast<CipherHandler>());
        QVERIFY(nullTun && !nullTun.dynamicCast<TunManagerHandler>());
        QVERIFY(os.calls.isEmpty());
        QVERIFY(tracker.calls.isEmpty());
    }

private:
    static QString num(int value) { return QString::number(value); }

    void writeFile(const QString &name, const QByteArray &content)
    {
        QFile file(m_dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    HalvorixServerSite site() const
    {
        return HalvorixServerSite("FRA", "Paris", "paris-udp.conf", "paris-tcp.conf", false, false, QDir(m_dir.path()),
                                  {}, QHostAddress(), GeoLocation(), QString(), 0);
    }

    static BackendOpenVPNConfigCipher cipher(const QString &scrambleMethod)
    {
        return BackendOpenVPNConfigCipher("AES-256-GCM", 1194, "SHA512", QString(), QString(), scrambleMethod,
                                          QString(), 443);
    }

    static BackendOpenVPNConfigCipher noAuthCipher()
    {
        return BackendOpenVPNConfigCipher("AES-128-CBC", 1194, QString(), QString(), QString(), QString(), QString(),
                                          0);
    }

    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestConnectionParameters)
#include "tst_connection_parameters.moc"
