#include "SettingsDialogWorld.h"
#include "gui/settings/SettingsTab.h"

#include "catalogue/HalvorixServerSite.h"
#include "catalogue/ServerSitePortFilter.h"
#include "catalogue/ServerSiteProtocolFilter.h"
#include "core/LogHandlerOption.h"
#include "prefs/DnsPreferenceAction.h"
#include "prefs/DnsRecoveryPreference.h"
#include "prefs/MtuPreference.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTest>

#include <functional>

using StoreChange = std::function<void(Settings &)>;
Q_DECLARE_METATYPE(StoreChange)

namespace {
const DnsListEntry OFFICE(QStringLiteral("Office"), QHostAddress(QStringLiteral("10.0.0.1")),
                          QHostAddress(QStringLiteral("10.0.0.2")), true);

HalvorixServerSite dedicatedSite(const QString &country, const QString &comment, const QString &address,
                                 const QString &configDir)
{
    return HalvorixServerSite::dedicatedServerSite(country, comment, QHostAddress(address), QDir(configDir),
                                                   ServerSiteProtocolFilter(ServerSiteProtocolFilter::ANYPROTOCOL),
                                                   ServerSitePortFilter());
}

template<typename T>
T *control(QWidget &dialog, const char *name)
{
    return SettingsDialogWorld::control<T>(dialog, name);
}

// Every preference flag of the form set to the opposite of what the store holds.
void flipEveryFlag(Settings &s)
{
    s.setAutoConnectOnStartup(!s.autoConnectOnStartup());
    s.setAutoLoginOnConnect(!s.autoLoginOnConnect());
    s.setArmKillswitchAfterFirstConnection(!s.armKillswitchAfterFirstConnection());
    s.setStillActiveWarningEnable(!s.stillActiveWarningEnable());
    s.setStartMinimized(!s.isStartMinimizedSetInPreference());
    s.setMinimizeOnConnect(!s.isMinimizeOnConnectSetInPreference());
    s.setCloseToTray(!s.isCloseToTraySetInPreference());
    s.setMinimizeToTray(!s.isMinimizeToTraySetInPreference());
    s.setDisplayNotifications(!s.isDisplayNotificationsSetInPreference());
    s.setDisplayCipherWarning(!s.displayCipherWarning());
    s.setPixelRatioToggle(!s.getPixelRatioToggle());
    s.setRememberWindowGeometry(!s.getRememberWindowGeometry());
    s.setHideFromDock(!s.getHideFromDock());
    s.setExecuteExternalScripts(!s.executeExternalScripts());
    s.setTerminateProcessesOnDisconnect(!s.terminateProcessesOnDisconnect());
    s.setPreventWebRtcLeak(!s.preventWebRtcLeak());
    s.setPreventIPv6Leak(!s.preventIPv6Leak());
    s.setSeamlessReconnect(!s.seamlessReconnect());
    s.setBlockInternetWhenNotConnected(!s.isBlockInternetWhenNotConnectedSetInPreference());
    s.setInternetKillSwitch(!s.internetKillSwitch());
    s.setRemoveInternetKillSwitchOnClose(!s.isRemoveInternetKillSwitchOnCloseSetInPreference());
    s.setRefreshDNSCache(!s.getRefreshDNSCache());
    s.setLookupHostnameBeforeConnecting(!s.getLookupHostnameBeforeConnecting());
    s.setShowLogToFileWarning(!s.getShowLogToFileWarning());
}
} // namespace

// The settings dialog loads every preference into its form and writes it back
// on Save; Cancel keeps the store as it was but for the tab shown.
class TestSettingsDialog : public QObject
{
    Q_OBJECT

    std::unique_ptr<SettingsDialogWorld> m_world;

private slots:
    void initTestCase() { Q_INIT_RESOURCE(vpnbackend); }

    void init() { m_world = std::make_unique<SettingsDialogWorld>(); }
    void cleanup() { m_world.reset(); }

    void dialogAroundTheWidget()
    {
        const auto dialog = m_world->open();
        QCOMPARE(dialog->objectName(), QStringLiteral("SettingsDialog"));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Settings"));
        QCOMPARE(dialog->size(), QSize(457, 300));
        QVERIFY(dialog->isModal());
        for (auto which : {QDialogButtonBox::Save, QDialogButtonBox::Cancel, QDialogButtonBox::RestoreDefaults})
            QVERIFY(SettingsDialogWorld::button(*dialog, which));
        // Kept in the form for their stored values, not offered.
        for (const char *hidden : {"preventWebRtcLeak", "blockOutsideDns", "CheckTunTapOnConnect"})
            QVERIFY2(control<QCheckBox>(*dialog, hidden)->isHidden(), hidden);
        QVERIFY(control<QWidget>(*dialog, "minimizeToTray_widget")->isHidden());
        QVERIFY(!control<QCheckBox>(*dialog, "hideFromDock")->isHidden());
        QCOMPARE(control<QComboBox>(*dialog, "proxyProtocol")->count(), 2);
        QCOMPARE(control<QComboBox>(*dialog, "proxyProtocol")->itemData(1).toInt(), int(Settings::SOCKS5));
    }

    void optionalBoxes_data()
    {
        QTest::addColumn<bool>("autostartSupported");
        QTest::addColumn<bool>("autoLoginAllowed");
        QTest::newRow("both offered") << true << true;
        QTest::newRow("no login items") << false << true;
        QTest::newRow("auto login not allowed") << true << false;
    }

    // A hidden box still loads and saves its stored state.
    void optionalBoxes()
    {
        QFETCH(bool, autostartSupported);
        QFETCH(bool, autoLoginAllowed);
        m_world->os.autostart = autostartSupported;
        m_world->autoLoginAllowed = autoLoginAllowed;
        Settings().setAutoLoginOnConnect(true);
        const auto dialog = m_world->open();
        QCOMPARE(control<QCheckBox>(*dialog, "autostart")->isHidden(), !autostartSupported);
        QCOMPARE(control<QCheckBox>(*dialog, "autoLogin")->isHidden(), !autoLoginAllowed);
        SettingsDialogWorld::press(*dialog, QDialogButtonBox::Save);
        QVERIFY(Settings().autoLoginOnConnect());
    }

    void setCurrentItemByDataOrFirstEntry_data()
    {
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("selected");
        QTest::newRow("empty combo: nothing selected") << QStringList() << QVariant(QStringLiteral("b")) << -1;
        QTest::newRow("found") << QStringList {"a", "b", "c"} << QVariant(QStringLiteral("c")) << 2;
        QTest::newRow("unknown value: the first") << QStringList {"a", "b"} << QVariant(QStringLiteral("z")) << 0;
        QTest::newRow("case matters") << QStringList {"a", "b"} << QVariant(QStringLiteral("B")) << 0;
    }

    void setCurrentItemByDataOrFirstEntry()
    {
        QFETCH(QStringList, items);
        QFETCH(QVariant, value);
        QFETCH(int, selected);
        QComboBox combo;
        for (const QString &item : items)
            combo.addItem(item.toUpper(), item);
        combo.setCurrentIndex(combo.count() - 1);
        SettingsTab::setCurrentItemByDataOrFirstEntry(&combo, value);
        QCOMPARE(combo.currentIndex(), selected);
    }

    void validators_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("acceptable");
        QTest::newRow("port 0") << "proxyPort"
                                << "0" << false;
        QTest::newRow("port 1") << "proxyPort"
                                << "1" << true;
        QTest::newRow("port 65535") << "proxyPort"
                                    << "65535" << true;
        QTest::newRow("port 65536") << "proxyPort"
                                    << "65536" << false;
        QTest::newRow("port empty") << "proxyPort"
                                    << "" << false;
        QTest::newRow("MTU 511") << "mtuLineEdit"
                                 << "511" << false;
        QTest::newRow("MTU 512") << "mtuLineEdit"
                                 << "512" << true;
        QTest::newRow("MTU 1400") << "mtuLineEdit"
                                  << "1400" << true;
        QTest::newRow("MTU 48000") << "mtuLineEdit"
                                   << "48000" << true;
        QTest::newRow("MTU 48001") << "mtuLineEdit"
                                   << "48001" << false;
    }

    void validators()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(bool, acceptable);
        const auto dialog = m_world->open();
        QLineEdit *edit = control<QLineEdit>(*dialog, qPrintable(field));
        edit->setText(text);
        QCOMPARE(edit->hasAcceptableInput(), acceptable);
    }

    void saveUntouchedChangesNothing_data()
    {
        QTest::addColumn<StoreChange>("change");
        const auto row = [](const char *name, const StoreChange &change) { QTest::newRow(name) << change; };
        row("as saved before", [](Settings &) {});
        row("every flag flipped", flipEveryFlag);
        row("interface kill switch question: Yes", [](Settings &s) { s.setIksEnableOnConnect(Settings::ENABLE); });
        row("interface kill switch question: No", [](Settings &s) { s.setIksEnableOnConnect(Settings::NOOP); });
        row("interface kill switch question: Ask", [](Settings &s) { s.setIksEnableOnConnect(Settings::ASK); });
        row("TLS 1.0", [](Settings &s) { s.setTlsMinimumVersion(Settings::TLS_1_0); });
        row("TLS 1.2", [](Settings &s) { s.setTlsMinimumVersion(Settings::TLS_1_2); });
        row("direct", [](Settings &s) { s.setProxySettings(Settings::DIRECT); });
        row("stealth through the second proxy", [](Settings &s) {
            s.setProxySettings(Settings::STEALTH);
            s.setStealthProxyId(QStringLiteral("se-Stockholm"));
        });
        row("custom HTTP", [](Settings &s) {
            s.setProxySettings(Settings::CUSTOM);
            s.setProxyProtocol(Settings::HTTP);
            s.setProxyAddress(QStringLiteral("198.51.100.1"));
            s.setProxyPort(QStringLiteral("8888"));
        });
        row("custom SOCKS5", [](Settings &s) {
            s.setProxySettings(Settings::CUSTOM);
            s.setProxyProtocol(Settings::SOCKS5);
            s.setProxyAddress(QStringLiteral("203.0.113.9"));
            s.setProxyPort(QStringLiteral("1080"));
        });
        row("stealth with custom fields stored", [](Settings &s) {
            s.setProxySettings(Settings::STEALTH);
            s.setStealthProxyId(QStringLiteral("nl-Amsterdam"));
            s.setProxyProtocol(Settings::SOCKS5);
            s.setProxyAddress(QStringLiteral("203.0.113."));
            s.setProxyPort(QStringLiteral("0"));
        });
        for (MtuPreference *mtu : MtuPreference::ALLMTUPREFERENCES()) {
            if (!mtu->isCustomMtu())
                row(qPrintable(QStringLiteral("MTU ") + mtu->displayName()),
                    [mtu](Settings &s) { s.setMtuPreference(mtu); });
        }
        row("custom MTU 1400", [](Settings &s) {
            MtuPreference::CUSTOM_MTUPREFERENCE()->setMtuIfCustom(1400);
            s.setMtuPreference(MtuPreference::CUSTOM_MTUPREFERENCE());
        });
        row("log to nowhere", [](Settings &s) { s.setLogHandlerOption(LogHandlerOption::NullHandler()); });
        row("log to a file, no warning", [](Settings &s) {
            s.setLogHandlerOption(LogHandlerOption::FileHandler());
            s.setShowLogToFileWarning(false);
        });
        row("log to standard error", [](Settings &s) { s.setLogHandlerOption(LogHandlerOption::StdErrHandler()); });
        row("recovery: auto recover", [](Settings &s) {
            s.setRecoverDNSStackOnStart(DnsRecoveryPreference::getDnsRecoveryPreferenceAutoRecover());
        });
        row("recovery: ask on start", [](Settings &s) {
            s.setRecoverDNSStackOnStart(DnsRecoveryPreference::getDnsRecoveryPreferenceAskOnStart());
        });
        row("recovery: forget",
            [](Settings &s) { s.setRecoverDNSStackOnStart(DnsRecoveryPreference::getDnsRecoveryPreferenceForget()); });
        row("tray icon on, no tray", [](Settings &s) { s.setTrayIconEnabled(true); });
        row("tray icon off, no tray", [](Settings &s) { s.setTrayIconEnabled(false); });
        row("block outside DNS off", [](Settings &s) { s.setBlockOutsideDns(false); });
        row("block outside DNS on", [](Settings &s) { s.setBlockOutsideDns(true); });
        row("TUN/TAP check off", [](Settings &s) { s.setCheckTunTapOnConnect(false); });
        row("TUN/TAP check on", [](Settings &s) { s.setCheckTunTapOnConnect(true); });
        row("scripts and kill list", [](Settings &s) {
            s.setExecuteExternalScripts(true);
            s.setPathToBeforeConnectScript(QStringLiteral("/opt/before.sh"));
            s.setPathToAfterConnectScript(QStringLiteral(" /opt/after connect.sh "));
            s.setPathToAfterDisconnectScript(QStringLiteral("/opt/down.sh"));
            s.setProcessKillList({QStringLiteral("Mail"), QStringLiteral("firefox"), QStringLiteral("thunderbird")});
        });
        row("dedicated IP servers", [](Settings &s) {
            const QString config = s.configDir().path();
            s.setServerSitesWithDedicatedIp(
                // In the order the list shows them (by their text).
                {dedicatedSite(QStringLiteral("nl"), QStringLiteral("home"), QStringLiteral("203.0.113.6"), config),
                 dedicatedSite(QStringLiteral("de"), QStringLiteral("office"), QStringLiteral("203.0.113.5"), config)});
            s.setDefaultServerSite(QStringLiteral("de-203.0.113.5"));
        });
        row("custom name servers for every stage", [](Settings &s) {
            DnsList list({OFFICE});
            s.setCustomDNS(list);
            s.setDnsPreferenceActionOnStart(DnsPreferenceAction::getDnsPreferenceActionCustom(OFFICE));
            s.setDnsPreferenceActionBeforeConnect(DnsPreferenceAction::getDnsPreferenceActionCustom(OFFICE));
            s.setDnsPreferenceActionAfterConnect(DnsPreferenceAction::getDnsPreferenceActionCustom(OFFICE));
        });
        row("custom entries named like built-in actions", [](Settings &s) {
            const DnsListEntry none(QStringLiteral("None"), QHostAddress(QStringLiteral("10.0.0.3")), QHostAddress(),
                                    true);
            const DnsListEntry vpn(QStringLiteral("VPN DNS"), QHostAddress(QStringLiteral("10.0.0.4")), QHostAddress(),
                                   true);
            s.setCustomDNS(DnsList({none, vpn}));
            s.setDnsPreferenceActionOnStart(DnsPreferenceAction::getDnsPreferenceActionCustom(none));
            s.setDnsPreferenceActionAfterConnect(DnsPreferenceAction::getDnsPreferenceActionCustom(vpn));
        });
        row("pushed name servers after connecting", [](Settings &s) {
            s.setDnsPreferenceActionAfterConnect(DnsPreferenceAction::getDnsPreferenceActionPushed());
        });
        row("ad blocking name servers after connecting", [](Settings &s) {
            s.setDnsPreferenceActionAfterConnect(DnsPreferenceAction::getDnsPreferenceActionAdBlocking());
        });
        row("kill-switch services, one gone", [](Settings &s) {
            s.setInternetKillSwitchInterface(NetworkInterface(QStringLiteral("Wi-Fi")));
            s.setInternetKillSwitchInterface(NetworkInterface(QStringLiteral("Gone")));
        });
        row("Servers tab shown", [](Settings &s) { s.setSettingsDialogCurrentTabIndex(5); });
        row("remembered credentials",
            [](Settings &s) { s.rememberCredentials(QStringLiteral("alice"), QStringLiteral("s3cret")); });
    }

    // The highest-value property of the dialog: opening it and pressing Save
    // leaves the whole settings file as it was.
    void saveUntouchedChangesNothing()
    {
        QFETCH(StoreChange, change);
        QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
        // Every key the dialog writes is stored once, then the row's values.
        m_world->openAndSave();
        {
            Settings settings;
            change(settings);
        }
        const QMap<QString, QString> before = SettingsDialogWorld::storedValues();
        const QByteArray file = SettingsDialogWorld::storeFile();
        m_world->openAndSave();
        const QMap<QString, QString> after = SettingsDialogWorld::storedValues();
        QVERIFY2(after == before, qPrintable(SettingsDialogWorld::differences(before, after)));
        QCOMPARE(SettingsDialogWorld::storeFile(), file);
    }

    // The two hidden boxes that nothing else uses are neither read nor written.
    void hiddenBoxesStayOutOfTheStore()
    {
        m_world->openAndSave();
        const QMap<QString, QString> stored = SettingsDialogWorld::storedValues();
        QVERIFY(stored.contains(QStringLiteral("preferences/prevent-web-rtc-leak")));
        QVERIFY(!stored.contains(QStringLiteral("preferences/block-outside-dns")));
        QVERIFY(!stored.contains(QStringLiteral("preferences/check-tuntap-on-connect")));
    }

    // A dedicated-IP site without an address is neither shown nor kept.
    void dropsDedicatedIpWithoutAddress()
    {
        const QString config = m_world->configDir.path();
        Settings().setServerSitesWithDedicatedIp(
            {dedicatedSite(QStringLiteral("de"), QStringLiteral("office"), QStringLiteral("203.0.113.5"), config)});
        {
            QSettings store;
            store.beginGroup(QStringLiteral("server-sites/dedicated-ip"));
            store.setValue(QStringLiteral("2/ip-address"), QString());
            store.setValue(QStringLiteral("2/country-code"), QStringLiteral("nl"));
            store.setValue(QStringLiteral("size"), 2);
        }
        const auto dialog = m_world->open();
        QCOMPARE(control<QListWidget>(*dialog, "serverSitesDedicatedIpList")->count(), 1);
        SettingsDialogWorld::press(*dialog, QDialogButtonBox::Save);
        const QList<HalvorixServerSite> stored = Settings().serverSitesWithDedicatedIp();
        QCOMPARE(stored.size(), 1);
        QCOMPARE(stored.first().getDedicatedIp(), QHostAddress(QStringLiteral("203.0.113.5")));
    }

    // Changes made in every tab are dropped; only the tab shown is kept.
    void cancelWritesOnlyTheTabIndex()
    {
        m_world->openAndSave();
        m_world->os.calls.clear();
        const QMap<QString, QString> before = SettingsDialogWorld::storedValues();
        const auto dialog = m_world->open();
        for (QCheckBox *box : dialog->findChildren<QCheckBox *>())
            box->setChecked(!box->isChecked());
        control<QRadioButton>(*dialog, "proxySettingsStealth")->setChecked(true);
        control<QComboBox>(*dialog, "afterConnectDnsComboBox")->setCurrentIndex(2);
        control<QComboBox>(*dialog, "mtuComboBox")->setCurrentIndex(1);
        control<QLineEdit>(*dialog, "pathToBeforeConnectScript")->setText(QStringLiteral("/tmp/x.sh"));
        control<QTabWidget>(*dialog, "tabWidget")->setCurrentIndex(4);
        SettingsDialogWorld::press(*dialog, QDialogButtonBox::Cancel);
        QCOMPARE(dialog->result(), int(QDialog::Rejected));
        QMap<QString, QString> expected = before;
        expected.insert(QStringLiteral("preferences/settings-dialog-current-tab-index"), QStringLiteral("4"));
        const QMap<QString, QString> after = SettingsDialogWorld::storedValues();
        QVERIFY2(after == expected, qPrintable(SettingsDialogWorld::differences(expected, after)));
        QVERIFY(m_world->os.callsOf(QStringLiteral("addLoginItem")).isEmpty());
        QVERIFY(m_world->os.callsOf(QStringLiteral("removeLoginItem")).isEmpty());

        // Reopened, it shows the old values on the tab that was open.
        const auto again = m_world->open();
        QCOMPARE(control<QTabWidget>(*again, "tabWidget")->currentIndex(), 4);
        QVERIFY(control<QRadioButton>(*again, "proxySettingsDirect")->isChecked());
    }

    void restoreDefaults_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("cleared");
        QTest::newRow("No keeps everything") << "no" << false;
        QTest::newRow("closed box keeps everything") << "close" << false;
        QTest::newRow("Yes clears all but the recovery records") << "yes" << true;
    }

    // Restore Defaults asks first; the records a crash recovery needs survive.
    void restoreDefaults()
    {
        QFETCH(QString, answer);
        QFETCH(bool, cleared);
        {
            Settings settings;
            settings.setAutoConnectOnStartup(true);
            settings.setProxySettings(Settings::CUSTOM);
            settings.setProxyAddress(QStringLiteral("198.51.100.1"));
            settings.setProxyPort(QStringLiteral("8888"));
            settings.setDnsStackNames({QStringLiteral("afterConnect")});
            settings.setInternetKillSwitchDisabledInterfaces({QStringLiteral("Wi-Fi")});
        }
        QSettings().setValue(QStringLiteral("saved-network-adapter-state/Wi-Fi/dns"), QStringLiteral("10.0.0.1"));
        const QMap<QString, QString> before = SettingsDialogWorld::storedValues();
        const auto dialog = m_world->open();
        m_world->boxes->answerWith({answer});
        SettingsDialogWorld::button(*dialog, QDialogButtonBox::RestoreDefaults)->click();
        QCOMPARE(m_world->boxes->shown.size(), 1);
        QCOMPARE(m_world->boxes->shown.first().buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(dialog->result(), int(QDialog::Rejected));

        const QMap<QString, QString> after = SettingsDialogWorld::storedValues();
        if (!cleared) {
            QVERIFY2(after == before, qPrintable(SettingsDialogWorld::differences(before, after)));
            QVERIFY(control<QCheckBox>(*dialog, "autoConnect")->isChecked());
            return;
        }
        for (const char *kept : {"dns/current-dns-stack", "preferences/internet-kill-switch-disabled-interfaces",
                                 "saved-network-adapter-state/Wi-Fi/dns", "config/configDir"})
            QCOMPARE(after.value(QLatin1String(kept)), before.value(QLatin1String(kept)));
        QVERIFY(!after.contains(QStringLiteral("preferences/proxy-settings")));
        // The form shows the defaults at once, and a Cancel does not bring the old values back.
        QVERIFY(!control<QCheckBox>(*dialog, "autoConnect")->isChecked());
        QVERIFY(control<QRadioButton>(*dialog, "proxySettingsDirect")->isChecked());
        SettingsDialogWorld::press(*dialog, QDialogButtonBox::Cancel);
        QVERIFY(!Settings().autoConnectOnStartup());
        QCOMPARE(Settings().getProxySettings(), Settings::DIRECT);
    }

    void autostartRecoveryQuestion_data()
    {
        QTest::addColumn<bool>("autostart");
        QTest::addColumn<int>("recovery");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("questions");
        QTest::addColumn<int>("stored");
        const int autoRecover = DnsRecoveryPreference::autoRecover;
        const int ask = DnsRecoveryPreference::askOnStart;
        const int forget = DnsRecoveryPreference::forget;
        QTest::newRow("autostart, ask, Yes") << true << ask << "yes" << 1 << autoRecover;
        QTest::newRow("autostart, ask, No") << true << ask << "no" << 1 << ask;
        QTest::newRow("autostart, ask, closed") << true << ask << "close" << 1 << ask;
        QTest::newRow("autostart, forget") << true << forget << "yes" << 0 << forget;
        QTest::newRow("autostart, auto recover") << true << autoRecover << "no" << 0 << autoRecover;
        QTest::newRow("no autostart, ask") << false << ask << "yes" << 0 << ask;
        QTest::newRow("no autostart, forget") << false << forget << "yes" << 0 << forget;
    }

    // Auto start with a recovery that waits for the user is questioned on Save.
    void autostartRecoveryQuestion()
    {
        QFETCH(bool, autostart);
        QFETCH(int, recovery);
        QFETCH(QString, answer);
        QFETCH(int, questions);
        QFETCH(int, stored);
        Settings().setRecoverDNSStackOnStart(
            DnsRecoveryPreference(DnsRecoveryPreference::RecoverDNSSettings(recovery)));
        m_world->os.loginItem = autostart;
        const auto dialog = m_world->open();
        m_world->boxes->answerWith({answer});
        SettingsDialogWorld::press(*dialog, QDialogButtonBox::Save);
        QCOMPARE(m_world->boxes->shown.size(), questions);
        if (questions) {
            QCOMPARE(m_world->boxes->shown.first().informativeText,
                     QStringLiteral("Do you want to set it as \"Auto recover\"?"));
            QCOMPARE(m_world->boxes->shown.first().icon, QMessageBox::Question);
        }
        QCOMPARE(int(Settings().recoverDNSStackOnStart().getRecoverDnsSettingsPreference()), stored);
        QCOMPARE(
            m_world->os.callsOf(autostart ? QStringLiteral("addLoginItem") : QStringLiteral("removeLoginItem")).size(),
            1);
    }

    void logFileQuestion_data()
    {
        QTest::addColumn<bool>("picked");
        QTest::addColumn<QString>("option");
        QTest::addColumn<bool>("warning");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("questions");
        QTest::addColumn<QString>("storedOption");
        QTest::addColumn<bool>("storedWarning");
        QTest::newRow("File, warning off: no question") << true << "File" << false << "no" << 0 << "File" << false;
        QTest::newRow("File, No") << true << "File" << true << "no" << 1 << "None" << true;
        QTest::newRow("File, ticked No") << true << "File" << true << "tick no" << 1 << "None" << true;
        QTest::newRow("File, Yes") << true << "File" << true << "yes" << 1 << "File" << true;
        QTest::newRow("File, ticked Yes") << true << "File" << true << "tick yes" << 1 << "File" << false;
        // A closed box answers with its escape button, No.
        QTest::newRow("File, closed") << true << "File" << true << "close" << 1 << "None" << true;
        QTest::newRow("None: no question") << true << "None" << true << "no" << 0 << "None" << true;
        // File already stored and the list left alone: the answer still counts.
        QTest::newRow("stored File, No") << false << "File" << true << "no" << 1 << "None" << true;
        QTest::newRow("stored File, closed") << false << "File" << true << "close" << 1 << "None" << true;
        QTest::newRow("stored File, Yes") << false << "File" << true << "yes" << 1 << "File" << true;
        QTest::newRow("stored File, ticked Yes") << false << "File" << true << "tick yes" << 1 << "File" << false;
    }

    // Logging to a file is confirmed on Save unless the user turned that off.
    void logFileQuestion()
    {
        QFETCH(bool, picked);
        QFETCH(QString, option);
        QFETCH(bool, warning);
        QFETCH(QString, answer);
        QFETCH(int, questions);
        QFETCH(QString, storedOption);
        QFETCH(bool, storedWarning);
        Settings().setShowLogToFileWarning(warning);
        if (!picked)
            Settings().setLogHandlerOption(LogHandlerOption::fromString(option));
        const auto dialog = m_world->open();
        QComboBox *combo = control<QComboBox>(*dialog, "logOptionComboBox");
        if (picked) {
            combo->setCurrentText(option);
            emit combo->activated(combo->currentIndex());
        }
        QCOMPARE(combo->currentText(), option);
        m_world->boxes->answerWith({answer});
        SettingsDialogWorld::press(*dialog, QDialogButtonBox::Save);
        QCOMPARE(m_world->boxes->shown.size(), questions);
        if (questions)
            QCOMPARE(m_world->boxes->checkBoxTexts.first(), QStringLiteral("Don't ask me again"));
        QCOMPARE(Settings().getLogHandlerOption().toString(), storedOption);
        QCOMPARE(Settings().getShowLogToFileWarning(), storedWarning);
    }

    // A stored option the combo box cannot show stays until the user picks one.
    void standardErrorLogKeptUntilChosen()
    {
        Settings().setLogHandlerOption(LogHandlerOption::StdErrHandler());
        auto dialog = m_world->open();
        QComboBox *combo = control<QComboBox>(*dialog, "logOptionComboBox");
        QCOMPARE(combo->currentText(), QStringLiteral("None"));
        SettingsDialogWorld::press(*dialog, QDialogButtonBox::Save);
        QCOMPARE(Settings().getLogHandlerOption(), LogHandlerOption::StdErrHandler());

        dialog = m_world->open();
        combo = control<QComboBox>(*dialog, "logOptionComboBox");
        emit combo->activated(combo->currentIndex());
        SettingsDialogWorld::press(*dialog, QDialogButtonBox::Save);
        QCOMPARE(Settings().getLogHandlerOption(), LogHandlerOption::NullHandler());
    }

    // With the global black-hole routes up, two boxes are locked and keep their values.
    void lockedWhileGlobalRouteActive()
    {
        {
            Settings settings;
            settings.setPreventIPv6Leak(true);
            settings.setSeamlessReconnect(false);
        }
        m_world->globalRouteAlreadyActive = true;
        const auto dialog = m_world->open();
        QCheckBox *ipv6 = control<QCheckBox>(*dialog, "preventIPv6Leak");
        QCheckBox *seamless = control<QCheckBox>(*dialog, "seamlessReconnect");
        QVERIFY(!ipv6->isEnabled());
        QVERIFY(!seamless->isEnabled());
        QCOMPARE(
            ipv6->text(),
            QStringLiteral("Prevent IPv6 leak (cannot be changed if \"Block internet when not connected\" is active)"));
        QCOMPARE(seamless->text(), QStringLiteral("Seamless reconnect (cannot be changed if \"Block internet when not "
                                                  "connected\" is active)"));
        SettingsDialogWorld::press(*dialog, QDialogButtonBox::Save);
        QVERIFY(Settings().preventIPv6Leak());
        QVERIFY(!Settings().seamlessReconnect());
    }

    // Services the dialog changes are written; services the system no longer
    // lists keep their flags.
    void killSwitchServices()
    {
        {
            Settings settings;
            settings.setInternetKillSwitch(true);
            settings.setInternetKillSwitchInterface(NetworkInterface(QStringLiteral("Wi-Fi")));
            settings.setInternetKillSwitchInterface(NetworkInterface(QStringLiteral("Gone")));
        }
        const auto dialog = m_world->open();
        m_world->boxes->answers << [](QDialog &chooser) {
            QListWidget *list = chooser.findChild<QListWidget *>(QStringLiteral("internetKillSwitchInterfaces"));
            for (int i = 0; i < list->count(); ++i)
                list->item(i)->setCheckState(list->item(i)->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
            chooser.findChild<QPushButton *>(QStringLiteral("okButton"))->click();
        };
        control<QPushButton>(*dialog, "internetKillSwitchShowDialogButton")->click();
        QCOMPARE(m_world->boxes->shown.size(), 1);
        SettingsDialogWorld::press(*dialog, QDialogButtonBox::Save);
        Settings settings;
        QVERIFY(!settings.isInternetKillSwitchInterface(NetworkInterface(QStringLiteral("Wi-Fi"))));
        QVERIFY(settings.isInternetKillSwitchInterface(NetworkInterface(QStringLiteral("Ethernet"))));
        QVERIFY(settings.isInternetKillSwitchInterface(NetworkInterface(QStringLiteral("Gone"))));
    }

    void settingsSaved_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<int>("reports");
        QTest::newRow("Save") << QStringList {"save"} << 1;
        QTest::newRow("Cancel") << QStringList {"cancel"} << 0;
        QTest::newRow("Escape") << QStringList {"escape"} << 0;
        QTest::newRow("defaults restored, Cancel") << QStringList {"restore yes", "cancel"} << 1;
        QTest::newRow("defaults restored, Escape") << QStringList {"restore yes", "escape"} << 1;
        QTest::newRow("defaults restored, Save") << QStringList {"restore yes", "save"} << 1;
        QTest::newRow("defaults kept, Cancel") << QStringList {"restore no", "cancel"} << 0;
        QTest::newRow("credentials forgotten, Cancel") << QStringList {"forget ok", "cancel"} << 1;
        QTest::newRow("credentials kept, Cancel") << QStringList {"forget cancel", "cancel"} << 0;
    }

    // The dialog reports once, at its end, when the stored preferences
    // changed: by Save, or by an action that wrote them at once.
    void settingsSaved()
    {
        QFETCH(QStringList, steps);
        QFETCH(int, reports);
        Settings().rememberCredentials(QStringLiteral("alice"), QStringLiteral("s3cret"));
        const auto dialog = m_world->open();
        QSignalSpy saved(dialog.get(), &SettingsDialog::settingsSaved);
        for (const QString &step : qAsConst(steps)) {
            const QString answer = step.section(QLatin1Char(' '), 1);
            if (!answer.isEmpty())
                m_world->boxes->answerWith({answer});
            if (step.startsWith(QLatin1String("restore")))
                SettingsDialogWorld::button(*dialog, QDialogButtonBox::RestoreDefaults)->click();
            else if (step.startsWith(QLatin1String("forget")))
                control<QPushButton>(*dialog, "forgetCredentials")->click();
            else if (step == QLatin1String("escape"))
                QTest::keyClick(dialog.get(), Qt::Key_Escape);
            else
                SettingsDialogWorld::press(*dialog, step == QLatin1String("save") ? QDialogButtonBox::Save
                                                                                  : QDialogButtonBox::Cancel);
            QCOMPARE(saved.size(), step == steps.last() ? reports : 0);
        }
    }

    void saveAllowed_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("port");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("custom, complete") << "proxySettingsCustom"
                                          << "198.51.100.1"
                                          << "8888" << true;
        QTest::newRow("custom, incomplete address") << "proxySettingsCustom"
                                                    << "198.51.100."
                                                    << "8888" << false;
        QTest::newRow("custom, empty address") << "proxySettingsCustom"
                                               << ""
                                               << "8888" << false;
        QTest::newRow("custom, group above 255") << "proxySettingsCustom"
                                                 << "198.51.100.300"
                                                 << "8888" << false;
        QTest::newRow("custom, empty port") << "proxySettingsCustom"
                                            << "198.51.100.1"
                                            << "" << false;
        QTest::newRow("custom, port 0") << "proxySettingsCustom"
                                        << "198.51.100.1"
                                        << "0" << false;
        QTest::newRow("custom, port 70000") << "proxySettingsCustom"
                                            << "198.51.100.1"
                                            << "70000" << false;
        QTest::newRow("direct, bad custom fields") << "proxySettingsDirect"
                                                   << "198.51.100."
                                                   << "0" << true;
        QTest::newRow("stealth, bad custom fields") << "proxySettingsStealth"
                                                    << ""
                                                    << "" << true;
    }

    // Save is offered only when a chosen custom proxy can be used.
    void saveAllowed()
    {
        QFETCH(QString, kind);
        QFETCH(QString, address);
        QFETCH(QString, port);
        QFETCH(bool, allowed);
        {
            Settings settings;
            settings.setProxyAddress(address);
            settings.setProxyPort(port);
        }
        const auto dialog = m_world->open();
        control<QRadioButton>(*dialog, qPrintable(kind))->setChecked(true);
        QCOMPARE(SettingsDialogWorld::button(*dialog, QDialogButtonBox::Save)->isEnabled(), allowed);
        // Whatever the start, fixing the fields allows the save again.
        control<QLineEdit>(*dialog, "proxyAddress")->setText(QStringLiteral("198.51.100.1"));
        control<QLineEdit>(*dialog, "proxyPort")->setText(QStringLiteral("8888"));
        QVERIFY(SettingsDialogWorld::button(*dialog, QDialogButtonBox::Save)->isEnabled());
    }
};

QTEST_MAIN(TestSettingsDialog)
#include "tst_settingsdialog.moc"
