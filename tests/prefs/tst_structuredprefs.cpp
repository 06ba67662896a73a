#include "PrefsTestStore.h"

#include "catalogue/HalvorixServerSite.h"
#include "catalogue/OpenVpnConfigurationModel.h"
#include "catalogue/ServerSitesOrder.h"
#include "core/GeoLocation.h"
#include "core/TunnelType.h"
#include "openconnect/OpenConnectConnectVia.h"
#include "prefs/DnsList.h"
#include "prefs/DnsPreferenceAction.h"
#include "prefs/Settings.h"

#include <QTest>

#include <cmath>

namespace {
QSettings &raw()
{
    static QSettings store;
    return store;
}

HalvorixServerSite dedicated(const QString &country, const QString &comment, const QString &address,
                             const QString &protocol, int port)
{
    return HalvorixServerSite(country, comment, "dedicated-udp.conf", "dedicated-tcp.conf", false, false, QDir(), {},
                              QHostAddress(address), GeoLocation(), protocol, port);
}

DnsListEntry entry(const QString &name, const QString &dns1, const QString &dns2, bool editable = true)
{
    return DnsListEntry(name, QHostAddress(dns1), QHostAddress(dns2), editable);
}
} // namespace

class TestStructuredPrefs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { PrefsTestStore::init(); }
    void init() { PrefsTestStore::wipe(); }

    void siteKeys_data()
    {
        QTest::addColumn<QString>("siteId");
        QTest::addColumn<QString>("key");
        QTest::newRow("plain") << "FR-Paris"
                               << "server-sites/public/FR-Paris/pinned-ip";
        QTest::newRow("slash") << "US-New York/2"
                               << "server-sites/public/US-New York_2/pinned-ip";
        QTest::newRow("two slashes") << "a/b/c"
                                     << "server-sites/public/a_b_c/pinned-ip";
    }

    void siteKeys()
    {
        QFETCH(QString, siteId);
        QFETCH(QString, key);
        QCOMPARE(Settings::key_serverSite_public(siteId, "pinned-ip"), key);
        Settings settings;
        settings.setPinnedIP(siteId, QHostAddress("192.0.2.10"));
        QCOMPARE(raw().value(key).toString(), QStringLiteral("192.0.2.10"));
        QCOMPARE(settings.group(), QStringLiteral("preferences"));
    }

    void escapedIdsShareKeys()
    {
        Settings settings;
        settings.setPinnedIP("A/B", QHostAddress("192.0.2.1"));
        QCOMPARE(settings.getPinnedIP("A_B"), QHostAddress("192.0.2.1"));
    }

    void pinnedAddress_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QVariant>("enabled");
        QTest::addColumn<bool>("expected");
        QTest::newRow("address and flag") << QVariant("192.0.2.7") << QVariant(true) << true;
        QTest::newRow("flag without address") << QVariant() << QVariant(true) << false;
        QTest::newRow("address, flag false") << QVariant("192.0.2.7") << QVariant(false) << false;
        QTest::newRow("address, no flag") << QVariant("192.0.2.7") << QVariant() << false;
        QTest::newRow("unparsable address") << QVariant("192.0.2.") << QVariant(true) << false;
        QTest::newRow("ipv6") << QVariant("2001:db8::5") << QVariant(true) << true;
    }

    void pinnedAddress()
    {
        QFETCH(QVariant, stored);
        QFETCH(QVariant, enabled);
        QFETCH(bool, expected);
        const QString site = QStringLiteral("DE-Berlin");
        if (stored.isValid())
            raw().setValue(Settings::key_serverSite_public(site, "pinned-ip"), stored);
        if (enabled.isValid())
            raw().setValue(Settings::key_serverSite_public(site, "pinned-ip-enabled"), enabled);
        Settings settings;
        QCOMPARE(settings.hasPinnedIP(site), expected);
        QCOMPARE(settings.group(), QStringLiteral("preferences"));
    }

    void pinnedRoundTripAndForget()
    {
        Settings settings;
        QVERIFY(settings.getPinnedIP("SE-Stockholm").isNull());
        settings.setPinnedIP("SE-Stockholm", QHostAddress("198.51.100.4"));
        settings.setHasPinnedIP("SE-Stockholm", true);
        QVERIFY(settings.hasPinnedIP("SE-Stockholm"));
        QCOMPARE(settings.getPinnedIP("SE-Stockholm"), QHostAddress("198.51.100.4"));
        settings.forgetPinnedIP("SE-Stockholm");
        QVERIFY(!settings.hasPinnedIP("SE-Stockholm"));
        raw().beginGroup("server-sites/public/SE-Stockholm");
        QVERIFY(raw().allKeys().isEmpty());
        raw().endGroup();
    }

    void dedicatedSitesSkipNullAddresses()
    {
        raw().setValue("config/configDir", QDir::tempPath());
        Settings settings;
        settings.setServerSitesWithDedicatedIp({dedicated("DE", "home office", "198.51.100.20", "UDP", 1194),
                                                dedicated("FR", "no address", "", "", 0),
                                                dedicated("SE", "backup", "203.0.113.7", "TCP", 443)});
        QCOMPARE(settings.group(), QStringLiteral("preferences"));
        QCOMPARE(raw().value("server-sites/dedicated-ip/size").toInt(), 2);
        QCOMPARE(raw().value("server-sites/dedicated-ip/1/country-code").toString(), QStringLiteral("DE"));
        QCOMPARE(raw().value("server-sites/dedicated-ip/1/comment").toString(), QStringLiteral("home office"));
        QCOMPARE(raw().value("server-sites/dedicated-ip/2/ip-address").toString(), QStringLiteral("203.0.113.7"));
        QCOMPARE(raw().value("server-sites/dedicated-ip/2/protocol").toString(), QStringLiteral("TCP"));
        QCOMPARE(raw().value("server-sites/dedicated-ip/2/port").toInt(), 443);

        const QList<HalvorixServerSite> read = settings.serverSitesWithDedicatedIp();
        QCOMPARE(read.size(), 2);
        QCOMPARE(read.at(0).getCountryCode(), QStringLiteral("DE"));
        QCOMPARE(read.at(0).getCity(), QStringLiteral("home office"));
        QCOMPARE(read.at(0).getDedicatedIp(), QHostAddress("198.51.100.20"));
        QCOMPARE(read.at(0).getDedicatedProtocol(), QStringLiteral("UDP"));
        QCOMPARE(read.at(0).getPort(), 1194);
        QCOMPARE(read.at(1).getId(), QStringLiteral("SE-203.0.113.7"));
        QCOMPARE(read.at(1).getConfigDir(), QDir(QDir::tempPath()));
        QCOMPARE(settings.group(), QStringLiteral("preferences"));

        settings.setServerSitesWithDedicatedIp({dedicated("NO", "one", "192.0.2.99", "", 0)});
        QCOMPARE(raw().value("server-sites/dedicated-ip/size").toInt(), 1);
        QVERIFY(!raw().contains("server-sites/dedicated-ip/2/ip-address"));
        QCOMPARE(settings.serverSitesWithDedicatedIp().size(), 1);
    }

    void dedicatedSitesNeedAConfigDirectory()
    {
        Settings settings;
        settings.setServerSitesWithDedicatedIp({dedicated("DE", "home", "198.51.100.20", "UDP", 1194)});
        QVERIFY(settings.serverSitesWithDedicatedIp().isEmpty());
        QCOMPARE(settings.group(), QStringLiteral("preferences"));
    }

    void damagedDedicatedEntries()
    {
        raw().setValue("config/configDir", QDir::tempPath());
        raw().beginWriteArray("server-sites/dedicated-ip");
        raw().setArrayIndex(0);
        raw().setValue("country-code", "DE");
        raw().setArrayIndex(1);
        raw().setValue("country-code", "FR");
        raw().setValue("ip-address", "192.0.2.5");
        raw().setValue("port", 70000);
        raw().endArray();
        Settings settings;
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("serverSitesWithDedicatedIp.*Wrong port detected"));
        const QList<HalvorixServerSite> read = settings.serverSitesWithDedicatedIp();
        QCOMPARE(read.size(), 2);
        QCOMPARE(read.at(0).getDedicatedIp(), QHostAddress("0.0.0.0"));
        QCOMPARE(read.at(1).getDedicatedIp(), QHostAddress("192.0.2.5"));
        QCOMPARE(read.at(1).getPort(), 0);
    }

    void customDnsRoundTrip()
    {
        DnsList list;
        list << entry("home", "192.0.2.1", "192.0.2.2") << entry("office", "198.51.100.1", "");
        list.addHardCodedEntries();
        Settings settings;
        settings.setCustomDNS(list);
        QCOMPARE(settings.group(), QStringLiteral("preferences"));
        QCOMPARE(raw().value("dns/custom-dns/size").toInt(), 2);
        QCOMPARE(raw().value("dns/custom-dns/1/name").toString(), QStringLiteral("home"));
        QCOMPARE(raw().value("dns/custom-dns/2/dns2").toString(), QString());
        QVERIFY(!raw().contains("dns/custom-dns/3/name"));

        const DnsList read = Settings().getCustomDNS();
        QCOMPARE(read, list);
    }

    void shorterListLeavesNoOldEntry()
    {
        Settings settings;
        settings.setCustomDNS(
            DnsList({entry("a", "192.0.2.1", ""), entry("b", "192.0.2.2", ""), entry("c", "192.0.2.3", "")}));
        settings.setCustomDNS(DnsList({entry("z", "192.0.2.9", "")}));
        QCOMPARE(raw().value("dns/custom-dns/size").toInt(), 1);
        QVERIFY(!raw().contains("dns/custom-dns/2/name"));
        QVERIFY(!raw().contains("dns/custom-dns/3/name"));
        QCOMPARE(settings.getCustomDNS().getNames().last(), QStringLiteral("z"));
    }

    void builtInEntriesAreNeverStored()
    {
        DnsList builtIns;
        builtIns.addHardCodedEntries();
        Settings settings;
        settings.setCustomDNS(builtIns);
        QCOMPARE(raw().value("dns/custom-dns/size", 0).toInt(), 0);
        QCOMPARE(settings.getCustomDNS(), builtIns);
    }

    void dnsActionsAtTheirStages()
    {
        Settings settings;
        QCOMPARE(settings.getDnsPreferenceActionOnStart(), DnsPreferenceAction::getDnsPreferenceActionNone());
        QCOMPARE(settings.getDnsPreferenceActionBeforeConnect().getDnsListEntry().getName(), QStringLiteral("OpenDNS"));
        QCOMPARE(settings.getDnsPreferenceActionAfterConnect(), DnsPreferenceAction::getDnsPreferenceActionPushed());

        const DnsPreferenceAction custom =
            DnsPreferenceAction::getDnsPreferenceActionCustom(entry("home", "192.0.2.1", "192.0.2.2"));
        settings.setDnsPreferenceActionOnStart(DnsPreferenceAction::getDnsPreferenceActionVpn());
        settings.setDnsPreferenceActionBeforeConnect(custom);
        settings.setDnsPreferenceActionAfterConnect(DnsPreferenceAction::getDnsPreferenceActionAdBlocking());
        QCOMPARE(settings.group(), QStringLiteral("preferences"));
        QCOMPARE(raw().value("dns/dns-action-onstart/dnspreference").toString(), QStringLiteral("DNS_PREFERENCE_VPN"));
        QCOMPARE(raw().value("dns/dns-action-beforeconnect/dnslistentry-dns2").toString(), QStringLiteral("192.0.2.2"));

        Settings later;
        QCOMPARE(later.getDnsPreferenceActionOnStart(), DnsPreferenceAction::getDnsPreferenceActionVpn());
        QCOMPARE(later.getDnsPreferenceActionBeforeConnect(), custom);
        QCOMPARE(later.getDnsPreferenceActionAfterConnect(), DnsPreferenceAction::getDnsPreferenceActionAdBlocking());
    }

    void defaultServerSite()
    {
        Settings settings;
        QCOMPARE(settings.defaultServerSite(), QStringLiteral("USA-Dallas"));
        QVERIFY(!settings.hasDefaultServerSite());
        settings.setDefaultServerSite(QString());
        QCOMPARE(settings.defaultServerSite(), QString());
        QVERIFY(settings.hasDefaultServerSite());
        settings.setDefaultServerSite("FR-Paris");
        QCOMPARE(raw().value("connect/serverSite").toString(), QStringLiteral("FR-Paris"));
        settings.removeDefaultServerSite();
        QVERIFY(!settings.hasDefaultServerSite());
        QCOMPARE(settings.group(), QStringLiteral("preferences"));
    }

    void serverSitesOrder()
    {
        Settings settings;
        QCOMPARE(settings.getServerSitesOrder(), ServerSitesOrder::CUSTOMFIRSTORDER());
        settings.setServerSitesOrder(ServerSitesOrder::ALPHABETICALORDER());
        QCOMPARE(raw().value("preferences/serversitesorder").toString(),
                 ServerSitesOrder::ALPHABETICALORDER()->getDisplayName());
        QCOMPARE(Settings().getServerSitesOrder(), ServerSitesOrder::ALPHABETICALORDER());
    }

    void openVpnChoice()
    {
        Settings settings;
        QVERIFY(!settings.hasDefaultOpenVpn243SelectionConfigCipher());
        QCOMPARE(settings.getDefaultOpenVPN243Protocol(), QStringLiteral("UDP"));

        const OpenVpnConfigurationModel model("AES-256-GCM", "TCP", {443, 8443}, true);
        settings.setDefaultServerSite("FR-Paris", model);
        QCOMPARE(settings.group(), QStringLiteral("preferences"));
        QCOMPARE(raw().value("connect/serverSite").toString(), QStringLiteral("FR-Paris"));
        QCOMPARE(raw().value("connect/OpenVPN24-cipher").toString(), QStringLiteral("AES-256-GCM"));
        QVERIFY(!raw().contains("preferences/connect/OpenVPN24-cipher"));

        Settings later;
        QVERIFY(later.hasDefaultOpenVpn243SelectionConfigCipher());
        QCOMPARE(later.getDefaultOpenVPN243Protocol(), QStringLiteral("TCP"));
        const OpenVpnConfigurationModel read = later.defaultOpenVpn243SelectionConfigCipher();
        QCOMPARE(read.getCipher(), QStringLiteral("AES-256-GCM"));
        QCOMPARE(read.getPorts(), QList<int>({443, 8443}));
        QVERIFY(read.stunnelEnabled());
        QCOMPARE(later.group(), QStringLiteral("preferences"));
    }

    void openConnectChoiceKeepsTheLastDirectTransport()
    {
        const OpenVpnConfigurationModel model;
        Settings settings;
        settings.setDefaultServerSite("SE-Stockholm", OpenConnectConnectVia::TCP_WITH_STEALTH_PROXY(), model);
        QVERIFY(!settings.hasDefaultOpenConnectConnectVia());
        settings.setDefaultServerSite("SE-Stockholm", OpenConnectConnectVia::UDP(), model);
        QCOMPARE(raw().value("connect/protocol-openconnect").toString(), QStringLiteral("UDP"));
        settings.setDefaultServerSite("DE-Berlin", OpenConnectConnectVia::TCP_WITH_CUSTOM_PROXY(), model);
        QCOMPARE(raw().value("connect/protocol-openconnect").toString(), QStringLiteral("UDP"));
        QCOMPARE(raw().value("connect/serverSite").toString(), QStringLiteral("DE-Berlin"));
        settings.setDefaultServerSite("DE-Berlin", OpenConnectConnectVia::TCP(), model);
        QVERIFY(settings.defaultOpenConnectConnectVia() == OpenConnectConnectVia::TCP());
        QCOMPARE(settings.group(), QStringLiteral("preferences"));
    }

    void tunnelType()
    {
        Settings settings;
        QVERIFY(settings.getDefaultTunnelType() == TunnelType::OPENVPN243());
        settings.setDefaultTunnelType(TunnelType::OPENCONNECT());
        QCOMPARE(raw().value("connect/tunnelType").toString(), QStringLiteral("OpenConnect"));
        QVERIFY(Settings().getDefaultTunnelType() == TunnelType::OPENCONNECT());
        raw().setValue("connect/tunnelType", "openconnect");
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("Unexpected switch value: .*openconnect"));
        QVERIFY(settings.getDefaultTunnelType() == TunnelType::OPENVPN243());
    }

    void openConnectTransport()
    {
        Settings settings;
        QVERIFY(!settings.hasDefaultOpenConnectConnectVia());
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("Unexpected switch name: "));
        QVERIFY(settings.defaultOpenConnectConnectVia() == OpenConnectConnectVia::TCP());
        raw().setValue("connect/protocol-openconnect", "UDP");
        QVERIFY(settings.hasDefaultOpenConnectConnectVia());
        QVERIFY(settings.defaultOpenConnectConnectVia() == OpenConnectConnectVia::UDP());
        QCOMPARE(settings.group(), QStringLiteral("preferences"));
    }

    void location_data()
    {
        QTest::addColumn<double>("latitude");
        QTest::addColumn<double>("longitude");
        QTest::addColumn<bool>("has");
        QTest::newRow("both set") << 48.85 << 2.35 << true;
        QTest::newRow("latitude zero") << 0.0 << 12.5 << false;
        QTest::newRow("longitude zero") << 51.5 << 0.0 << false;
        QTest::newRow("nan counts as set") << double(NAN) << 3.0 << true;
    }

    void location()
    {
        QFETCH(double, latitude);
        QFETCH(double, longitude);
        QFETCH(bool, has);
        Settings settings;
        QVERIFY(!settings.hasMyLocation());
        settings.setMyLocation(GeoLocation(latitude, longitude, "FR"));
        QCOMPARE(settings.group(), QStringLiteral("preferences"));
        QVERIFY(raw().contains("my-location-latitude"));
        QCOMPARE(raw().value("my-location-countrycode").toString(), QStringLiteral("FR"));
        QCOMPARE(Settings().hasMyLocation(), has);
        QCOMPARE(settings.getMyLocation().getLongitude(), longitude);
    }
};

QTEST_GUILESS_MAIN(TestStructuredPrefs)
#include "tst_structuredprefs.moc"
