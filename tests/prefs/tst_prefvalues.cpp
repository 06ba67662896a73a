#include "PrefsTestStore.h"

#include "catalogue/HalvorixServerSite.h"
#include "core/LogHandlerOption.h"
#include "core/NetworkInterface.h"
#include "prefs/DnsList.h"
#include "prefs/DnsPreferenceAction.h"
#include "prefs/DnsRecoveryPreference.h"
#include "prefs/MtuPreference.h"
#include "prefs/Settings.h"
#include "prefs/UserStatistics.h"

#include <QTest>

namespace {
DnsListEntry entry(const QString &name, const QString &dns1, const QString &dns2, bool editable = true)
{
    return DnsListEntry(name, QHostAddress(dns1), QHostAddress(dns2), editable);
}
} // namespace

class TestPrefValues : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { PrefsTestStore::init(); }
    void init() { PrefsTestStore::wipe(); }

    // Log option

    void logOptionFromString_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("logged");
        QTest::newRow("StdErr") << "StdErr"
                                << "StdErr" << false;
        QTest::newRow("File") << "File"
                              << "File" << false;
        QTest::newRow("None") << "None"
                              << "None" << false;
        QTest::newRow("lower case") << "file"
                                    << "None" << true;
        QTest::newRow("empty") << ""
                               << "None" << true;
    }

    void logOptionFromString()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QFETCH(bool, logged);
        if (logged)
            QTest::ignoreMessage(QtDebugMsg, qPrintable(QStringLiteral("Unexpected Log option:  \"%1\"").arg(text)));
        QCOMPARE(LogHandlerOption::fromString(text).toString(), expected);
    }

    void logOptionsAreSingletons()
    {
        QVERIFY(&LogHandlerOption::fromString("File") == &LogHandlerOption::FileHandler());
        QVERIFY(LogHandlerOption::FileHandler() == FileHandlerOption::INSTANCE);
        QVERIFY(LogHandlerOption::FileHandler() != LogHandlerOption::NullHandler());
        QVERIFY(LogHandlerOption::StdErrHandler() != LogHandlerOption::NullHandler());
        const QVariant item = QVariant::fromValue(&LogHandlerOption::FileHandler());
        QVERIFY(*item.value<const LogHandlerOption *>() == LogHandlerOption::FileHandler());
    }

    // Network interface

    void networkInterfaceValue()
    {
        const NetworkInterface wifi(QStringLiteral("Wi-Fi"));
        NetworkInterface copy = wifi;
        QCOMPARE(copy.getName(), QStringLiteral("Wi-Fi"));
        QVERIFY(copy == wifi);
        QVERIFY(NetworkInterface(QStringLiteral("Ethernet")) != wifi);
        const QVariant item = QVariant::fromValue(wifi);
        QCOMPARE(item.value<NetworkInterface>().getName(), QStringLiteral("Wi-Fi"));
    }

    void killSwitchRecordKeepsTheLiteralPlaceholder()
    {
        QSettings store;
        const NetworkInterface odd(QStringLiteral("USB %1 LAN"));
        odd.writeTo(store);
        QVERIFY(store.contains(QStringLiteral("internet-kill-switch-interface.USB %1 LAN.%2")));
        QVERIFY(odd.isInternetKillSwitchInterface(store));
        odd.removeFrom(store);
        QVERIFY(!odd.isInternetKillSwitchInterface(store));
        QVERIFY(store.allKeys().isEmpty());
    }

    // MTU

    void mtuChoices_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("mtu");
        QTest::addColumn<bool>("isDefault");
        QTest::addColumn<bool>("isCustom");
        QTest::newRow("default") << 0 << "Default"
                                 << "default-mtu-from-config" << 0 << 0 << true << false;
        QTest::newRow("low") << 1 << "Low"
                             << "low-mtu" << 1 << 512 << false << false;
        QTest::newRow("medium") << 2 << "Medium"
                                << "medium-mtu" << 2 << 24000 << false << false;
        QTest::newRow("high") << 3 << "High"
                              << "high-mtu" << 3 << 48000 << false << false;
        QTest::newRow("custom") << 4 << "Custom"
                                << "custom-mtu" << 4 << 24000 << false << true;
    }

    void mtuChoices()
    {
        QFETCH(int, index);
        QFETCH(QString, name);
        QFETCH(QString, key);
        QFETCH(int, type);
        QFETCH(int, mtu);
        QFETCH(bool, isDefault);
        QFETCH(bool, isCustom);
        MtuPreference::CUSTOM_MTUPREFERENCE()->setMtuIfCustom(MtuPreference::MEDIUM_MTU);
        MtuPreference *choice = MtuPreference::ALLMTUPREFERENCES().at(index);
        QCOMPARE(choice->displayName(), name);
        QCOMPARE(choice->getSettingKey(), key);
        QCOMPARE(choice->getType(), type);
        QCOMPARE(choice->getMtu(), mtu);
        QCOMPARE(choice->isDefaulMtu(), isDefault);
        QCOMPARE(choice->isCustomMtu(), isCustom);
        choice->setMtuIfCustom(1400);
        QCOMPARE(choice->getMtu(), isCustom ? 1400 : mtu);
        MtuPreference::CUSTOM_MTUPREFERENCE()->setMtuIfCustom(MtuPreference::MEDIUM_MTU);

        QSettings store;
        choice->writeTo(store);
        QCOMPARE(store.value("mtu-type").toString(), key);
        QCOMPARE(store.value("mtu-value").toInt(), mtu);
        QCOMPARE(MtuPreference::readFrom(store), choice);
    }

    void mtuRead_data()
    {
        QTest::addColumn<QVariant>("type");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("expectedType");
        QTest::addColumn<int>("expectedMtu");
        QTest::newRow("no type, a value") << QVariant() << QVariant(1400) << 0 << 0;
        QTest::newRow("custom 1400") << QVariant("custom-mtu") << QVariant(1400) << 4 << 1400;
        QTest::newRow("low ignores value") << QVariant("low-mtu") << QVariant(1400) << 1 << 512;
        QTest::newRow("unknown type") << QVariant("Custom-MTU") << QVariant(1400) << 0 << 0;
    }

    void mtuRead()
    {
        QFETCH(QVariant, type);
        QFETCH(QVariant, value);
        QFETCH(int, expectedType);
        QFETCH(int, expectedMtu);
        QSettings store;
        if (type.isValid())
            store.setValue("mtu-type", type);
        if (type == QVariant("Custom-MTU"))
            QTest::ignoreMessage(QtDebugMsg, "static MtuPreference *MtuPreference::readFrom(const QSettings &) "
                                             "Unexpected switch value:  \"Custom-MTU\"");
        store.setValue("mtu-value", value);
        const MtuPreference *read = MtuPreference::readFrom(store);
        QCOMPARE(read->getType(), expectedType);
        QCOMPARE(read->getMtu(), expectedMtu);
        if (expectedType == 4)
            QCOMPARE(MtuPreference::CUSTOM_MTUPREFERENCE()->getMtu(), 1400);
    }

    void mtuEquality()
    {
        MtuPreference *custom = MtuPreference::CUSTOM_MTUPREFERENCE();
        custom->setMtuIfCustom(1400);
        QVERIFY(*custom == *custom);
        QVERIFY(*MtuPreference::LOW_MTUPREFERENCE() != *MtuPreference::MEDIUM_MTUPREFERENCE());
        QVERIFY(*MtuPreference::LOW_MTUPREFERENCE() == *MtuPreference::LOW_MTUPREFERENCE());
        QVERIFY(*custom != *MtuPreference::MEDIUM_MTUPREFERENCE());
    }

    // DNS recovery

    void dnsRecovery_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("expected");
        QTest::addColumn<bool>("logged");
        QTest::newRow("absent") << QVariant() << int(DnsRecoveryPreference::autoRecover) << false;
        QTest::newRow("askOnStart") << QVariant("askOnStart") << int(DnsRecoveryPreference::askOnStart) << false;
        QTest::newRow("forget") << QVariant("forget") << int(DnsRecoveryPreference::forget) << false;
        QTest::newRow("autoRecover") << QVariant("autoRecover") << int(DnsRecoveryPreference::autoRecover) << false;
        QTest::newRow("Forget") << QVariant("Forget") << int(DnsRecoveryPreference::autoRecover) << true;
    }

    void dnsRecovery()
    {
        QFETCH(QVariant, stored);
        QFETCH(int, expected);
        QFETCH(bool, logged);
        QSettings store;
        if (stored.isValid())
            store.setValue("dns/recover-dns-stack-on-connect", stored);
        if (logged)
            QTest::ignoreMessage(
                QtDebugMsg,
                qPrintable("static DnsRecoveryPreference DnsRecoveryPreference::readFrom(const QSettings &) "
                           "Unexpected switch value:  \""
                           + stored.toString() + "\""));
        const DnsRecoveryPreference read = DnsRecoveryPreference::readFrom(store);
        QCOMPARE(int(read.getRecoverDnsSettingsPreference()), expected);
    }

    void dnsRecoveryChoices_data()
    {
        QTest::addColumn<int>("choice");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("display");
        QTest::newRow("auto") << int(DnsRecoveryPreference::autoRecover) << "autoRecover"
                              << "Auto recover";
        QTest::newRow("forget") << int(DnsRecoveryPreference::forget) << "forget"
                                << "No (forget information)";
        QTest::newRow("ask") << int(DnsRecoveryPreference::askOnStart) << "askOnStart"
                             << "Ask on start";
    }

    void dnsRecoveryChoices()
    {
        QFETCH(int, choice);
        QFETCH(QString, stored);
        QFETCH(QString, display);
        const DnsRecoveryPreference preference(static_cast<DnsRecoveryPreference::RecoverDNSSettings>(choice));
        QCOMPARE(preference.getDisplayName(), display);
        QSettings store;
        preference.writeTo(store);
        QCOMPARE(store.value("dns/recover-dns-stack-on-connect").toString(), stored);
        QCOMPARE(DnsRecoveryPreference::readFrom(store), preference);
        QCOMPARE(DnsRecoveryPreference(), DnsRecoveryPreference::getDnsRecoveryPreferenceDefault());
    }

    // Combo boxes of the settings hold these values as item data and look
    // them up by value.
    void valuesAsItemDataCompareByValue_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QVariant>("sameValue");
        QTest::addColumn<QVariant>("otherValue");
        QTest::addColumn<QString>("typeName");
        const auto custom = [](const QString &dns2) {
            return QVariant::fromValue(
                DnsPreferenceAction::getDnsPreferenceActionCustom(entry("home", "192.0.2.1", dns2)));
        };
        QTest::newRow("DNS action") << custom("192.0.2.2") << custom("192.0.2.2") << custom("192.0.2.3")
                                    << "DnsPreferenceAction";
        QTest::newRow("DNS action kinds")
            << QVariant::fromValue(DnsPreferenceAction::getDnsPreferenceActionVpn())
            << QVariant::fromValue(DnsPreferenceAction::getDnsPreferenceActionVpn())
            << QVariant::fromValue(DnsPreferenceAction::getDnsPreferenceActionPushed()) << "DnsPreferenceAction";
        QTest::newRow("DNS recovery") << QVariant::fromValue(DnsRecoveryPreference::getDnsRecoveryPreferenceForget())
                                      << QVariant::fromValue(DnsRecoveryPreference(DnsRecoveryPreference::forget))
                                      << QVariant::fromValue(
                                             DnsRecoveryPreference::getDnsRecoveryPreferenceAskOnStart())
                                      << "DnsRecoveryPreference";
        QTest::newRow("DNS list entry") << QVariant::fromValue(entry("a", "192.0.2.1", ""))
                                        << QVariant::fromValue(entry("a", "192.0.2.1", ""))
                                        << QVariant::fromValue(entry("a", "192.0.2.1", "", false)) << "DnsListEntry";
    }

    void valuesAsItemDataCompareByValue()
    {
        QFETCH(QVariant, value);
        QFETCH(QVariant, sameValue);
        QFETCH(QVariant, otherValue);
        QFETCH(QString, typeName);
        QCOMPARE(QString::fromLatin1(value.typeName()), typeName);
        QCOMPARE(QMetaType::type(qPrintable(typeName)), value.userType());
        QVERIFY(value == sameValue);
        QVERIFY(value != otherValue);
        QVERIFY(QVariantList({otherValue, sameValue}).indexOf(value) == 1);
    }

    // DNS list entries

    void dnsListEntry()
    {
        const DnsListEntry empty;
        QCOMPARE(empty.getName(), QString());
        QVERIFY(empty.isEditable());
        QCOMPARE(empty.getDns(), QStringList());
        const DnsListEntry onlyFirst = entry("mine", "192.0.2.1", "");
        QCOMPARE(onlyFirst.getDns(), QStringList({QStringLiteral("192.0.2.1")}));
        QCOMPARE(entry("mine", "", "192.0.2.2").getDns(), QStringList({QStringLiteral("192.0.2.2")}));
        QVERIFY(onlyFirst != entry("mine", "192.0.2.1", "", false));
        QVERIFY(onlyFirst == entry("mine", "192.0.2.1", ""));
        QCOMPARE(DnsListEntry::DHCPDEFAULT.getName(), QStringLiteral("Set DNS to automatic (DHCP)"));
        QVERIFY(!DnsListEntry::DHCPDEFAULT.isEditable());
        QCOMPARE(DnsListEntry::DHCPDEFAULT.getDns(), QStringList());
    }

    void hardCodedEntriesHeadTheList()
    {
        DnsList list;
        list << entry("home", "192.0.2.1", "192.0.2.2") << entry("work", "198.51.100.1", "");
        list.addHardCodedEntries();
        QCOMPARE(list.getNames(), QStringList({"Level3", "Google", "OpenDNS", "Cloudflare", "Quad9", "home", "work"}));
        QCOMPARE(list.at(0).getDns(), QStringList({"4.2.2.2", "4.2.2.3"}));
        QCOMPARE(list.at(1).getDns(), QStringList({"8.8.8.8", "8.8.4.4"}));
        QCOMPARE(list.at(2).getDns(), QStringList({"208.67.222.222", "208.67.220.220"}));
        QCOMPARE(list.at(3).getDns(), QStringList({"1.1.1.1", "1.0.0.1"}));
        // A name-server list never carries an empty address: the helper refuses one.
        QCOMPARE(list.at(4).getDns(), QStringList({"9.9.9.9"}));
        for (int i = 0; i < 5; ++i)
            QVERIFY(!list.at(i).isEditable());
        QVERIFY(list.at(5).isEditable());
    }

    // DNS preference actions

    void actionKinds_data()
    {
        QTest::addColumn<DnsPreferenceAction>("action");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("display");
        QTest::addColumn<QStringList>("servers");
        QTest::newRow("none") << DnsPreferenceAction::getDnsPreferenceActionNone() << "DNS_PREFERENCE_NONE"
                              << "None" << QStringList();
        QTest::newRow("pushed") << DnsPreferenceAction::getDnsPreferenceActionPushed() << "DNS_PREFERENCE_PUSHED"
                                << "Pushed DNS" << QStringList();
        QTest::newRow("vpn") << DnsPreferenceAction::getDnsPreferenceActionVpn() << "DNS_PREFERENCE_VPN"
                             << "VPN DNS" << QStringList({"10.9.0.1", "10.8.0.1"});
        QTest::newRow("custom") << DnsPreferenceAction::getDnsPreferenceActionCustom(entry("home", "192.0.2.1", ""))
                                << "DNS_PREFERENCE_CUSTOM"
                                << "home" << QStringList({"192.0.2.1"});
    }

    void actionKinds()
    {
        QFETCH(DnsPreferenceAction, action);
        QFETCH(QString, stored);
        QFETCH(QString, display);
        QFETCH(QStringList, servers);
        QCOMPARE(action.getDisplayName(), display);
        QCOMPARE(action.getNameServerDNSs(), servers);
        QSettings store;
        store.beginGroup("dns");
        action.writeTo(store, "dns-action-onstart");
        QCOMPARE(store.value("dns-action-onstart/dnspreference").toString(), stored);
        for (const char *key :
             {"dnslistentry-name", "dnslistentry-dns1", "dnslistentry-dns2", "dnslistentry-iseditable"})
            QVERIFY2(store.contains(QStringLiteral("dns-action-onstart/") + key), key);
        QCOMPARE(DnsPreferenceAction::readFrom(store, "dns-action-onstart"), action);
        QCOMPARE(store.group(), QStringLiteral("dns"));
    }

    void adBlockingAction()
    {
        const DnsPreferenceAction action = DnsPreferenceAction::getDnsPreferenceActionAdBlocking();
        QCOMPARE(action.getDisplayName(), QStringLiteral("Ad Blocking DNS"));
        QCOMPARE(action.getNameServerDNSs().size(), 2);
        for (const QString &server : action.getNameServerDNSs())
            QCOMPARE(QHostAddress(server).protocol(), QAbstractSocket::IPv4Protocol);
        QVERIFY(!action.getDnsListEntry().isEditable());
    }

    void defaultsPerStage_data()
    {
        QTest::addColumn<QString>("stage");
        QTest::addColumn<DnsPreferenceAction>("expected");
        QTest::newRow("onstart") << "dns-action-onstart" << DnsPreferenceAction::getDnsPreferenceActionNone();
        QTest::newRow("beforeconnect") << "dns-action-beforeconnect"
                                       << DnsPreferenceAction::getDnsPreferenceActionCustom(
                                              entry("OpenDNS", "208.67.222.222", "208.67.220.220", false));
        QTest::newRow("afterconnect") << "dns-action-afterconnect"
                                      << DnsPreferenceAction::getDnsPreferenceActionPushed();
    }

    void defaultsPerStage()
    {
        QFETCH(QString, stage);
        QFETCH(DnsPreferenceAction, expected);
        QSettings store;
        store.beginGroup("dns");
        QCOMPARE(DnsPreferenceAction::readFrom(store, stage), expected);
    }

    void builtInActionsIgnoreStoredEntryKeys()
    {
        QSettings store;
        store.beginGroup("dns");
        DnsPreferenceAction::getDnsPreferenceActionVpn().writeTo(store, "dns-action-afterconnect");
        store.setValue("dns-action-afterconnect/dnslistentry-name", "tampered");
        store.setValue("dns-action-afterconnect/dnslistentry-dns1", "203.0.113.9");
        QCOMPARE(DnsPreferenceAction::readFrom(store, "dns-action-afterconnect"),
                 DnsPreferenceAction::getDnsPreferenceActionVpn());
    }

    void customEntryFromStoredKeys_data()
    {
        QTest::addColumn<QString>("editable");
        QTest::addColumn<QString>("dns2");
        QTest::addColumn<bool>("expectedEditable");
        QTest::addColumn<QString>("expectedDns2");
        QTest::newRow("true") << "true"
                              << "192.0.2.2" << true << "192.0.2.2";
        QTest::newRow("True") << "True"
                              << "192.0.2.2" << false << "192.0.2.2";
        QTest::newRow("1") << "1"
                           << "192.0.2.2" << false << "192.0.2.2";
        QTest::newRow("unparsable address") << "true"
                                            << "not-an-ip" << true << "";
    }

    void customEntryFromStoredKeys()
    {
        QFETCH(QString, editable);
        QFETCH(QString, dns2);
        QFETCH(bool, expectedEditable);
        QFETCH(QString, expectedDns2);
        QSettings store;
        store.beginGroup("dns");
        store.beginGroup("dns-action-beforeconnect");
        store.setValue("dnspreference", "DNS_PREFERENCE_CUSTOM");
        store.setValue("dnslistentry-name", "home");
        store.setValue("dnslistentry-dns1", "192.0.2.1");
        store.setValue("dnslistentry-dns2", dns2);
        store.setValue("dnslistentry-iseditable", editable);
        store.endGroup();
        const DnsPreferenceAction read = DnsPreferenceAction::readFrom(store, "dns-action-beforeconnect");
        QCOMPARE(read.getPreference(), DnsPreferenceAction::CUSTOM);
        QCOMPARE(read.getDnsListEntry().getName(), QStringLiteral("home"));
        QCOMPARE(read.getDnsListEntry().isEditable(), expectedEditable);
        const QStringList servers =
            expectedDns2.isEmpty() ? QStringList {"192.0.2.1"} : QStringList {"192.0.2.1", expectedDns2};
        QCOMPARE(read.getNameServerDNSs(), servers);
    }

    void unknownStoredKind()
    {
        QSettings store;
        store.beginGroup("dns");
        store.setValue("dns-action-afterconnect/dnspreference", "DNS_PREFERENCE_vpn");
        QTest::ignoreMessage(QtDebugMsg, "Error: DNS_PREFERENCE not found! \"DNS_PREFERENCE_vpn\"");
        QCOMPARE(DnsPreferenceAction::readFrom(store, "dns-action-afterconnect"),
                 DnsPreferenceAction::getDnsPreferenceActionNone());
        QCOMPARE(store.value("dns-action-afterconnect/dnspreference").toString(), QStringLiteral("DNS_PREFERENCE_vpn"));
    }

    void outOfRangeKind()
    {
        const DnsPreferenceAction odd(static_cast<DnsPreferenceAction::DnsPreference>(9));
        QTest::ignoreMessage(QtDebugMsg, "Error: DnsPreferenceAction with no DisplayName");
        QCOMPARE(odd.getDisplayName(), QString());
        QSettings store;
        odd.writeTo(store, "dns-action-onstart");
        QCOMPARE(store.value("dns-action-onstart/dnspreference").toString(), QStringLiteral("DNS_PREFERENCE_NONE"));
    }

    // Usage statistics

    void statisticsLoadDropsBadCounts()
    {
        QVariantMap counts {{"FR-Paris", 3u}, {"DE-Berlin", "abc"}, {"US-Denver", "7"}};
        QSettings().setValue("preferences/user-statistics", QVariantMap {{"serverFrequencyUsage", counts}});
        UserStatistics statistics;
        statistics.fillStatisticsFromSettings();
        const QMap<QString, unsigned int> expected {{"FR-Paris", 3u}, {"US-Denver", 7u}};
        QCOMPARE(statistics.getServerFrecuencyUsage(), expected);
    }

    void statisticsFirstStartWritesNothing()
    {
        UserStatistics statistics;
        statistics.addOneUsageToServer("FR-Paris");
        statistics.fillStatisticsFromSettings();
        QCOMPARE(statistics.getServerFrecuencyUsage().value("FR-Paris"), 1u);
        QVERIFY(!QSettings().contains("preferences/user-statistics"));
    }

    void statisticsCountAndRoundTrip()
    {
        UserStatistics::initEmptyUserStatistics();
        UserStatistics &statistics = UserStatistics::getUserStatistics();
        statistics.addOneUsageToServer("FR-Paris");
        statistics.addOneUsageToServer("FR-Paris");
        const HalvorixServerSite stockholm("SE", "Stockholm", "se.udp.ovpn", "se.tcp.ovpn", false, false, QDir(), {},
                                           QHostAddress(), GeoLocation(), QString(), 0);
        statistics.addOneUsageToServer(stockholm);
        statistics.saveUserStatistics();
        UserStatistics::initEmptyUserStatistics();
        QVERIFY(statistics.getServerFrecuencyUsage().isEmpty());
        UserStatistics::initUserStatistics();
        const QMap<QString, unsigned int> expected {{"FR-Paris", 2u}, {"SE-Stockholm", 1u}};
        QCOMPARE(statistics.getServerFrecuencyUsage(), expected);

        statistics.resetStatistics();
        QVERIFY(statistics.getServerFrecuencyUsage().isEmpty());
        const QVariantMap stored = QSettings().value("preferences/user-statistics").toMap();
        QCOMPARE(stored.keys(), QStringList {"serverFrequencyUsage"});
        QVERIFY(stored.value("serverFrequencyUsage").toMap().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestPrefValues)
#include "tst_prefvalues.moc"
