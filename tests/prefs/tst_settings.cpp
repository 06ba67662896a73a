#include "PrefsTestStore.h"

#include "core/LogHandlerOption.h"
#include "core/NetworkInterface.h"
#include "prefs/DnsRecoveryPreference.h"
#include "prefs/MtuPreference.h"
#include "prefs/Settings.h"
#include "prefs/UserStatistics.h"

#include <QDir>
#include <QFileInfo>
#include <QMainWindow>
#include <QProcess>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// One preference as the table test sees it: read through the accessor and
// written through the accessor, both as variants.
struct Accessor
{
    std::function<QVariant(Settings &)> get;
    std::function<void(Settings &, const QVariant &)> set;
};

template<typename T>
Accessor accessor(T (Settings::*getter)() const, void (Settings::*setter)(T))
{
    return {[getter](Settings &s) { return QVariant::fromValue((s.*getter)()); },
            [setter](Settings &s, const QVariant &v) { (s.*setter)(v.value<T>()); }};
}

template<typename T>
Accessor accessor(T (Settings::*getter)() const, void (Settings::*setter)(const T &))
{
    return {[getter](Settings &s) { return QVariant::fromValue((s.*getter)()); },
            [setter](Settings &s, const QVariant &v) { (s.*setter)(v.value<T>()); }};
}

template<typename E>
Accessor enumAccessor(E (Settings::*getter)() const, void (Settings::*setter)(E))
{
    return {[getter](Settings &s) { return QVariant(static_cast<int>((s.*getter)())); },
            [setter](Settings &s, const QVariant &v) { (s.*setter)(static_cast<E>(v.toInt())); }};
}

QVariant rawPreference(const QString &key)
{
    QSettings store;
    return store.value(QStringLiteral("preferences/") + key);
}

mode_t fileMode(const QString &path)
{
    struct stat st
    {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return 0;
    return st.st_mode & 07777;
}

ino_t inode(const QString &path)
{
    struct stat st
    {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_ino;
}
} // namespace

Q_DECLARE_METATYPE(Accessor)

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { PrefsTestStore::init(); }
    void init() { PrefsTestStore::wipe(); }

    void keyTable_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<Accessor>("access");
        QTest::addColumn<QVariant>("defaultValue");
        QTest::addColumn<QVariant>("sample");
        QTest::addColumn<QVariant>("stored");

        const auto flag = [](const char *key, bool (Settings::*g)() const, void (Settings::*s)(bool), bool def) {
            QTest::newRow(key) << QString::fromLatin1(key) << accessor(g, s) << QVariant(def) << QVariant(!def)
                               << QVariant(!def);
        };
        flag("auto-connect-on-startup", &Settings::autoConnectOnStartup, &Settings::setAutoConnectOnStartup, false);
        flag("auto-login-on-connect", &Settings::autoLoginOnConnect, &Settings::setAutoLoginOnConnect, true);
        flag("start-minimized", &Settings::isStartMinimizedSetInPreference, &Settings::setStartMinimized, false);
        flag("minimize-on-connect", &Settings::isMinimizeOnConnectSetInPreference, &Settings::setMinimizeOnConnect,
             false);
        flag("minimize-to-tray", &Settings::isMinimizeToTraySetInPreference, &Settings::setMinimizeToTray, false);
        flag("close-to-tray", &Settings::isCloseToTraySetInPreference, &Settings::setCloseToTray, false);
        flag("display-notifications", &Settings::isDisplayNotificationsSetInPreference,
             &Settings::setDisplayNotifications, true);
        flag("remember-window-geometry", &Settings::getRememberWindowGeometry, &Settings::setRememberWindowGeometry,
             false);
        flag("showLogToFileWarning", &Settings::getShowLogToFileWarning, &Settings::setShowLogToFileWarning, true);
        flag("arm-killswitch-after-first-connection", &Settings::armKillswitchAfterFirstConnection,
             &Settings::setArmKillswitchAfterFirstConnection, true);
        flag("stillActiveWarningEnable", &Settings::stillActiveWarningEnable, &Settings::setStillActiveWarningEnable,
             true);
        flag("display-cipher-warning", &Settings::displayCipherWarning, &Settings::setDisplayCipherWarning, true);
        flag("pixel-ratio-toggle", &Settings::getPixelRatioToggle, &Settings::setPixelRatioToggle, false);
        flag("terminate-processes-on-disconnect", &Settings::terminateProcessesOnDisconnect,
             &Settings::setTerminateProcessesOnDisconnect, false);
        flag("execute-external-scripts", &Settings::executeExternalScripts, &Settings::setExecuteExternalScripts,
             false);
        flag("prevent-web-rtc-leak", &Settings::preventWebRtcLeak, &Settings::setPreventWebRtcLeak, false);
        flag("prevent-ipv6-leak", &Settings::preventIPv6Leak, &Settings::setPreventIPv6Leak, true);
        flag("refresh-local-dns-cache", &Settings::getRefreshDNSCache, &Settings::setRefreshDNSCache, true);
        flag("lookup-hostname-before-connecting", &Settings::getLookupHostnameBeforeConnecting,
             &Settings::setLookupHostnameBeforeConnecting, true);
        flag("block-outside-dns", &Settings::blockOutsideDns, &Settings::setBlockOutsideDns, true);
        flag("manage-routes-in-house", &Settings::seamlessReconnect, &Settings::setSeamlessReconnect, true);
        flag("block-internet-when-not-connected", &Settings::isBlockInternetWhenNotConnectedSetInPreference,
             &Settings::setBlockInternetWhenNotConnected, false);
        flag("internet-kill-switch", &Settings::internetKillSwitch, &Settings::setInternetKillSwitch, false);
        flag("remove-internet-kill-switch-on-close", &Settings::isRemoveInternetKillSwitchOnCloseSetInPreference,
             &Settings::setRemoveInternetKillSwitchOnClose, false);
        flag("check-tuntap-on-connect", &Settings::getCheckTunTapOnConnect, &Settings::setCheckTunTapOnConnect, true);
        flag("hide-from-dock", &Settings::getHideFromDock, &Settings::setHideFromDock, false);

        QTest::newRow("external-script-timeout")
            << "external-script-timeout"
            << accessor(&Settings::externalProcessTimeout, &Settings::setExternalProcessTimeout) << QVariant(15)
            << QVariant(42) << QVariant(42);
        QTest::newRow("settings-dialog-current-tab-index")
            << "settings-dialog-current-tab-index"
            << accessor(&Settings::settingsDialogCurrentTabIndex, &Settings::setSettingsDialogCurrentTabIndex)
            << QVariant(0) << QVariant(3) << QVariant(3);

        const auto text = [](const char *key, QString (Settings::*g)() const, void (Settings::*s)(const QString &)) {
            QTest::newRow(key) << QString::fromLatin1(key) << accessor(g, s) << QVariant(QString())
                               << QVariant(QStringLiteral("/tmp/some path"))
                               << QVariant(QStringLiteral("/tmp/some path"));
        };
        text("path-to-before-connect-script", &Settings::pathToBeforeConnectScript,
             &Settings::setPathToBeforeConnectScript);
        text("path-to-after-connect-script", &Settings::pathToAfterConnectScript,
             &Settings::setPathToAfterConnectScript);
        text("path-to-after-disconnect-script", &Settings::pathToAfterDisconnectScript,
             &Settings::setPathToAfterDisconnectScript);
        text("proxy-stealth-proxy-id", &Settings::getStealthProxyId, &Settings::setStealthProxyId);
        text("proxy-custom-address", &Settings::getProxyAddress, &Settings::setProxyAddress);
        text("proxy-custom-port", &Settings::getProxyPort, &Settings::setProxyPort);

        const QStringList names {QStringLiteral("Safari"), QStringLiteral("Mail app")};
        QTest::newRow("processes-to-kill")
            << "processes-to-kill" << accessor(&Settings::processKillList, &Settings::setProcessKillList)
            << QVariant(QStringList()) << QVariant(names) << QVariant(names);
        QTest::newRow("internet-kill-switch-disabled-interfaces")
            << "internet-kill-switch-disabled-interfaces"
            << accessor(&Settings::internetKillSwitchDisabledInterfaces,
                        &Settings::setInternetKillSwitchDisabledInterfaces)
            << QVariant(QStringList()) << QVariant(names) << QVariant(names);

        QTest::newRow("tls-minimum-version")
            << "tls-minimum-version" << enumAccessor(&Settings::getTlsMinimumVersion, &Settings::setTlsMinimumVersion)
            << QVariant(int(Settings::TLS_1_2)) << QVariant(int(Settings::TLS_1_0)) << QVariant(QStringLiteral("1.0"));
        QTest::newRow("enable-interfaces-on-connect enable")
            << "enable-interfaces-on-connect"
            << enumAccessor(&Settings::iksEnableOnConnect, &Settings::setIksEnableOnConnect)
            << QVariant(int(Settings::ASK)) << QVariant(int(Settings::ENABLE)) << QVariant(QStringLiteral("enable"));
        QTest::newRow("enable-interfaces-on-connect noop")
            << "enable-interfaces-on-connect"
            << enumAccessor(&Settings::iksEnableOnConnect, &Settings::setIksEnableOnConnect)
            << QVariant(int(Settings::ASK)) << QVariant(int(Settings::NOOP)) << QVariant(QStringLiteral("noop"));
        QTest::newRow("proxy-settings stealth")
            << "proxy-settings" << enumAccessor(&Settings::getProxySettings, &Settings::setProxySettings)
            << QVariant(int(Settings::DIRECT)) << QVariant(int(Settings::STEALTH))
            << QVariant(QStringLiteral("STEALTH"));
        QTest::newRow("proxy-settings custom")
            << "proxy-settings" << enumAccessor(&Settings::getProxySettings, &Settings::setProxySettings)
            << QVariant(int(Settings::DIRECT)) << QVariant(int(Settings::CUSTOM)) << QVariant(QStringLiteral("CUSTOM"));
        QTest::newRow("proxy-custom-protocol")
            << "proxy-custom-protocol" << enumAccessor(&Settings::getProxyProtocol, &Settings::setProxyProtocol)
            << QVariant(int(Settings::HTTP)) << QVariant(int(Settings::SOCKS5)) << QVariant(QStringLiteral("SOCKS5"));

        const Accessor logOption {
            [](Settings &s) { return QVariant(s.getLogHandlerOption().toString()); },
            [](Settings &s, const QVariant &v) { s.setLogHandlerOption(LogHandlerOption::fromString(v.toString())); }};
        QTest::newRow("logHandlerOption") << "logHandlerOption" << logOption << QVariant(QStringLiteral("None"))
                                          << QVariant(QStringLiteral("File")) << QVariant(QStringLiteral("File"));
    }

    void keyTable()
    {
        QFETCH(QString, key);
        QFETCH(Accessor, access);
        QFETCH(QVariant, defaultValue);
        QFETCH(QVariant, sample);
        QFETCH(QVariant, stored);

        if (key == QLatin1String("logHandlerOption"))
            QTest::ignoreMessage(QtDebugMsg, "Unexpected Log option:  \"\"");
        {
            Settings settings;
            QCOMPARE(access.get(settings), defaultValue);
            QVERIFY(!settings.contains(key));
            access.set(settings, sample);
            QCOMPARE(settings.group(), QStringLiteral("preferences"));
        }
        QCOMPARE(rawPreference(key), stored);
        Settings later;
        QCOMPARE(access.get(later), sample);
    }

    void unexpectedStoredTexts_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("storedText");
        QTest::addColumn<Accessor>("access");
        QTest::addColumn<int>("expected");
        QTest::addColumn<QString>("logLine");

        const Accessor tls = enumAccessor(&Settings::getTlsMinimumVersion, &Settings::setTlsMinimumVersion);
        const Accessor iks = enumAccessor(&Settings::iksEnableOnConnect, &Settings::setIksEnableOnConnect);
        const Accessor proxy = enumAccessor(&Settings::getProxySettings, &Settings::setProxySettings);
        const Accessor protocol = enumAccessor(&Settings::getProxyProtocol, &Settings::setProxyProtocol);
        QTest::newRow("tls 1.1")
            << "tls-minimum-version"
            << "1.1" << tls << int(Settings::TLS_1_2)
            << "Settings::TlsMinimumVersion Settings::getTlsMinimumVersion() const Unexpected switch value:  \"1.1\"";
        QTest::newRow("tls 1.0") << "tls-minimum-version"
                                 << "1.0" << tls << int(Settings::TLS_1_0) << QString();
        QTest::newRow("iks other case")
            << "enable-interfaces-on-connect"
            << "Enable" << iks << int(Settings::ASK)
            << "Settings::IksSettings Settings::iksEnableOnConnect() Unexpected switch value:  \"Enable\"";
        QTest::newRow("proxy SOCKS")
            << "proxy-settings"
            << "SOCKS" << proxy << int(Settings::DIRECT)
            << "Settings::ProxySettings Settings::getProxySettings() const Unexpected switch value:  \"SOCKS\"";
        QTest::newRow("proxy lower case")
            << "proxy-settings"
            << "stealth" << proxy << int(Settings::DIRECT)
            << "Settings::ProxySettings Settings::getProxySettings() const Unexpected switch value:  \"stealth\"";
        QTest::newRow("protocol socks4")
            << "proxy-custom-protocol"
            << "SOCKS4" << protocol << int(Settings::HTTP)
            << "Settings::ProxyProtocol Settings::getProxyProtocol() const Unexpected switch value:  \"SOCKS4\"";
    }

    void unexpectedStoredTexts()
    {
        QFETCH(QString, key);
        QFETCH(QString, storedText);
        QFETCH(Accessor, access);
        QFETCH(int, expected);
        QFETCH(QString, logLine);

        Settings settings;
        settings.setValue(key, storedText);
        if (!logLine.isEmpty())
            QTest::ignoreMessage(QtDebugMsg, logLine.toUtf8().constData());
        QCOMPARE(access.get(settings).toInt(), expected);
        QCOMPARE(settings.value(key).toString(), storedText);
    }

    void outOfRangeEnumsAreWrittenAsDefault()
    {
        Settings settings;
        QTest::ignoreMessage(QtDebugMsg,
                             "void Settings::setProxySettings(Settings::ProxySettings) Unexpected switch value:  7");
        settings.setProxySettings(static_cast<Settings::ProxySettings>(7));
        QCOMPARE(settings.value("proxy-settings").toString(), QStringLiteral("DIRECT"));
        QTest::ignoreMessage(QtDebugMsg,
                             "void Settings::setProxyProtocol(Settings::ProxyProtocol) Unexpected switch value:  9");
        settings.setProxyProtocol(static_cast<Settings::ProxyProtocol>(9));
        QCOMPARE(settings.value("proxy-custom-protocol").toString(), QStringLiteral("HTTP"));
        settings.setTlsMinimumVersion(static_cast<Settings::TlsMinimumVersion>(5));
        QCOMPARE(settings.value("tls-minimum-version").toString(), QStringLiteral("1.2"));
    }

    void trayRulesFollowTheSystemTray()
    {
        const bool tray = QSystemTrayIcon::isSystemTrayAvailable();
        Settings settings;
        settings.setStartMinimized(true);
        settings.setMinimizeOnConnect(true);
        settings.setMinimizeToTray(true);
        settings.setCloseToTray(true);
        QVERIFY(settings.isTrayIconSetInPreference());
        QCOMPARE(settings.trayIconEnabled(), tray);
        QCOMPARE(settings.shouldStartMinimized(), tray);
        QCOMPARE(settings.shouldMinimizeOnConnect(), tray);
        QCOMPARE(settings.shouldMinimizeToTray(), tray);
        QCOMPARE(settings.shouldCloseToTray(), tray);
        QCOMPARE(settings.shouldDisplayNotifications(), tray);
        settings.setTrayIconEnabled(false);
        QVERIFY(!settings.isTrayIconSetInPreference());
        QVERIFY(!settings.trayIconEnabled());
        QVERIFY(!settings.shouldStartMinimized());
        QVERIFY(!settings.shouldMinimizeToTray());
        QVERIFY(!settings.shouldDisplayNotifications());
    }

    void killSwitchRules_data()
    {
        QTest::addColumn<bool>("first");
        QTest::addColumn<bool>("second");
        QTest::addColumn<bool>("expected");
        QTest::newRow("both") << true << true << true;
        QTest::newRow("first only") << true << false << false;
        QTest::newRow("second only") << false << true << false;
    }

    void killSwitchRules()
    {
        QFETCH(bool, first);
        QFETCH(bool, second);
        QFETCH(bool, expected);
        Settings settings;
        QVERIFY(!settings.shouldBlockInternetWhenNotConnected());
        QVERIFY(!settings.shouldRemoveInternetKillSwitchOnClose());
        settings.setSeamlessReconnect(first);
        settings.setBlockInternetWhenNotConnected(second);
        settings.setInternetKillSwitch(first);
        settings.setRemoveInternetKillSwitchOnClose(second);
        QCOMPARE(settings.shouldBlockInternetWhenNotConnected(), expected);
        QCOMPARE(settings.shouldRemoveInternetKillSwitchOnClose(), expected);
    }

    void scriptRules_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("execute");
        QTest::addColumn<bool>("expected");
        QTest::newRow("path and switch") << "/usr/local/bin/up.sh" << true << true;
        QTest::newRow("blank path") << "   \t " << true << false;
        QTest::newRow("empty path") << "" << true << false;
        QTest::newRow("switch off") << "/usr/local/bin/up.sh" << false << false;
    }

    void scriptRules()
    {
        QFETCH(QString, path);
        QFETCH(bool, execute);
        QFETCH(bool, expected);
        Settings settings;
        settings.setExecuteExternalScripts(execute);
        settings.setPathToBeforeConnectScript(path);
        settings.setPathToAfterConnectScript(path);
        settings.setPathToAfterDisconnectScript(path);
        QCOMPARE(settings.executeBeforeConnectScript(), expected);
        QCOMPARE(settings.executeAfterConnectScript(), expected);
        QCOMPARE(settings.executeAfterDisconnectScript(), expected);
    }

    void topLevelKeysLeaveAndReenterTheGroup()
    {
        Settings settings;
        settings.setDnsStackNames({QStringLiteral("onstart"), QStringLiteral("afterconnect")});
        QCOMPARE(settings.group(), QStringLiteral("preferences"));
        settings.setRecoverDNSStackOnStart(DnsRecoveryPreference::getDnsRecoveryPreferenceAskOnStart());
        QCOMPARE(settings.group(), QStringLiteral("preferences"));

        QSettings raw;
        QCOMPARE(raw.value("dns/current-dns-stack").toStringList(),
                 QStringList({QStringLiteral("onstart"), QStringLiteral("afterconnect")}));
        QCOMPARE(raw.value("dns/recover-dns-stack-on-connect").toString(), QStringLiteral("askOnStart"));
        QVERIFY(!raw.contains("preferences/dns/current-dns-stack"));

        Settings later;
        QCOMPARE(later.getDnsStackNames().size(), 2);
        QCOMPARE(later.recoverDNSStackOnStart(), DnsRecoveryPreference::getDnsRecoveryPreferenceAskOnStart());
        QCOMPARE(later.group(), QStringLiteral("preferences"));
    }

    void freshStoreTopLevelDefaults()
    {
        Settings settings;
        QVERIFY(settings.getDnsStackNames().isEmpty());
        QCOMPARE(settings.recoverDNSStackOnStart(), DnsRecoveryPreference::getDnsRecoveryPreferenceAutoRecover());
        QVERIFY(!settings.hasConfigDir());
        QCOMPARE(settings.getMtuPreference(), MtuPreference::DEFAULT_MTUPREFERENCE());
        QVERIFY(settings.getUserStatisticsMap().isEmpty());
        QCOMPARE(settings.group(), QStringLiteral("preferences"));
    }

    void mtuThroughTheAccessor()
    {
        Settings settings;
        MtuPreference::CUSTOM_MTUPREFERENCE()->setMtuIfCustom(1400);
        settings.setMtuPreference(MtuPreference::CUSTOM_MTUPREFERENCE());
        QCOMPARE(settings.value("mtu-type").toString(), QStringLiteral("custom-mtu"));
        QCOMPARE(settings.value("mtu-value").toInt(), 1400);
        MtuPreference::CUSTOM_MTUPREFERENCE()->setMtuIfCustom(999);
        QCOMPARE(Settings().getMtuPreference()->getMtu(), 1400);
    }

    void killSwitchInterfaceRecord()
    {
        const NetworkInterface wifi(QStringLiteral("Wi-Fi"));
        Settings settings;
        QVERIFY(!settings.isInternetKillSwitchInterface(wifi));
        settings.setInternetKillSwitchInterface(wifi);
        QCOMPARE(rawPreference(QStringLiteral("internet-kill-switch-interface.Wi-Fi.%2")), QVariant(true));
        QVERIFY(settings.isInternetKillSwitchInterface(wifi));
        QVERIFY(!settings.isInternetKillSwitchInterface(NetworkInterface(QStringLiteral("Ethernet"))));
        settings.clearInternetKillSwitchInterface(wifi);
        QVERIFY(!settings.isInternetKillSwitchInterface(wifi));
        QVERIFY(!rawPreference(QStringLiteral("internet-kill-switch-interface.Wi-Fi.%2")).isValid());
    }

    void lastApiRequest()
    {
        Settings settings;
        QCOMPARE(settings.lastHalvorixAPIClientRequest().toMSecsSinceEpoch(), qint64(0));
        const QDateTime local(QDate(2026, 3, 14), QTime(15, 9, 26), Qt::OffsetFromUTC, 2 * 3600);
        settings.setLastHalvorixAPIClientRequest(local);
        QCOMPARE(settings.value("last-HalvorixAPIClient-request").toString(), QStringLiteral("2026-03-14T13:09:26Z"));
        QCOMPARE(settings.lastHalvorixAPIClientRequest(), local);
    }

    void configDirectory()
    {
        Settings settings;
        QTest::ignoreMessage(QtDebugMsg, "Accessing configDir(), but configDir is not set. Call hasConfigDir() first!");
        QCOMPARE(settings.configDir().path(), QDir(QString()).path());
        QCOMPARE(settings.group(), QStringLiteral("preferences"));

        QSettings().setValue("config/configDir", QStringLiteral("/tmp/orval-configs"));
        QVERIFY(settings.hasConfigDir());
        QCOMPARE(settings.configDir().path(), QStringLiteral("/tmp/orval-configs"));
        QCOMPARE(settings.group(), QStringLiteral("preferences"));
    }

    void writableLocationsAreCreated()
    {
        const QDir cache = Settings::cacheDir();
        QVERIFY(!cache.path().isEmpty());
        QVERIFY(cache.exists());
        QCOMPARE(cache.path(), QStandardPaths::writableLocation(QStandardPaths::CacheLocation));
        const QDir data = Settings::qtDataLocation();
        QVERIFY(data.exists());
        QCOMPARE(data.path(), QStandardPaths::writableLocation(QStandardPaths::DataLocation));
    }

    void docUrl()
    {
        QCOMPARE(Settings::getDocUrl(QStringLiteral("help.html")),
                 QStringLiteral("file:///") + QCoreApplication::applicationDirPath() + "/../Resources/doc/help.html");
        QVERIFY(Settings::getDocUrl(QStringLiteral("x")).startsWith(QStringLiteral("file:////")));
    }

    void windowGeometryRoundTrip()
    {
        QMainWindow window;
        window.setGeometry(40, 50, 320, 240);
        Settings settings;
        settings.saveWindowGeometry(&window);
        QVERIFY(!settings.value("window-geometry").toByteArray().isEmpty());
        QVERIFY(!settings.value("window-state").toByteArray().isEmpty());

        QMainWindow restored;
        Settings().restoreWindowGeometry(&restored);
        QCOMPARE(restored.geometry().size(), QSize(320, 240));
    }

    void clearKeepsIdentityLocationAndRecoveryRecords()
    {
        {
            QSettings raw;
            raw.setValue("settingVersion", 5);
            raw.setValue("lifecycle/installId", QStringLiteral("install-42"));
            raw.setValue("config/configDir", QStringLiteral("/tmp/configs"));
            raw.setValue("config/version", QStringLiteral("17"));
            raw.setValue("my-location-latitude", 48.5);
            raw.setValue("my-location-longitude", 2.25);
            raw.setValue("my-location-countrycode", QStringLiteral("FR"));
            raw.setValue("saved-network-adapter-state/en0/staticNameServers", QStringList {QStringLiteral("1.2.3.4")});
            raw.setValue("saved-network-adapter-state/start/Wi-Fi", QStringList {"192.0.2.53"});
            raw.setValue("dns/current-dns-stack", QStringList {"start", "beforeConnect"});
            raw.setValue("dns/custom-dns/size", 0);
            raw.setValue("preferences/internet-kill-switch-disabled-interfaces", QStringList {"Wi-Fi"});
        }
        Settings settings;
        settings.setAutoConnectOnStartup(true);
        settings.setProxySettings(Settings::CUSTOM);
        UserStatistics::getUserStatistics().addOneUsageToServer(QStringLiteral("FR-Paris"));
        UserStatistics::getUserStatistics().saveUserStatistics();

        QTest::ignoreMessage(QtDebugMsg, "\"install-42\"");
        settings.clear();
        QCOMPARE(settings.group(), QStringLiteral("preferences"));
        QVERIFY(!settings.autoConnectOnStartup());
        QCOMPARE(settings.getProxySettings(), Settings::DIRECT);

        QSettings raw;
        QCOMPARE(raw.value("settingVersion").toInt(), 5);
        QCOMPARE(raw.value("lifecycle/installId").toString(), QStringLiteral("install-42"));
        QCOMPARE(raw.value("config/configDir").toString(), QStringLiteral("/tmp/configs"));
        QCOMPARE(raw.value("my-location-latitude").toDouble(), 48.5);
        QCOMPARE(raw.value("my-location-longitude").toDouble(), 2.25);
        QCOMPARE(raw.value("my-location-countrycode").toString(), QStringLiteral("FR"));
        QVERIFY(!raw.contains("config/version"));
        // The crash-recovery records survive: the next start must still be
        // able to undo what a crashed run changed.
        QCOMPARE(raw.value("saved-network-adapter-state/en0/staticNameServers").toStringList(),
                 QStringList {"1.2.3.4"});
        QCOMPARE(raw.value("saved-network-adapter-state/start/Wi-Fi").toStringList(), QStringList {"192.0.2.53"});
        QCOMPARE(settings.getDnsStackNames(), (QStringList {"start", "beforeConnect"}));
        QCOMPARE(settings.internetKillSwitchDisabledInterfaces(), QStringList {"Wi-Fi"});
        QVERIFY(!raw.contains("dns/custom-dns/size"));
        QVERIFY(!raw.contains("preferences/auto-connect-on-startup"));
        QVERIFY(UserStatistics::getUserStatistics().getServerFrecuencyUsage().isEmpty());
        const QVariantMap stored = raw.value("preferences/user-statistics").toMap();
        QVERIFY(stored.contains("serverFrequencyUsage"));
        QVERIFY(stored.value("serverFrequencyUsage").toMap().isEmpty());
    }

    void clearOfAFreshStore()
    {
        Settings settings;
        QTest::ignoreMessage(QtDebugMsg, "\"\"");
        settings.clear();
        QSettings raw;
        QCOMPARE(raw.value("settingVersion").toInt(), 1);
        QVERIFY(raw.contains("config/configDir"));
        QVERIFY(!settings.hasConfigDir());
        QCOMPARE(raw.value("lifecycle/installId").toString(), QString());
        QCOMPARE(raw.value("my-location-latitude").toDouble(), 0.0);
        QCOMPARE(raw.value("my-location-countrycode").toString(), QString());
        QVERIFY(!raw.contains("dns/current-dns-stack"));
        QVERIFY(!raw.contains("preferences/internet-kill-switch-disabled-interfaces"));
        QVERIFY(raw.childGroups().filter("saved-network-adapter-state").isEmpty());
    }

    void storeFileIsOwnerOnly()
    {
        const QString path = Settings().fileName();
        QFile::remove(path);
        {
            Settings settings;
            QCOMPARE(fileMode(path), mode_t(0600));
            settings.setAutoConnectOnStartup(true);
            settings.sync();
        }
        QCOMPARE(fileMode(path), mode_t(0600));
        Settings settings;
        settings.setProxyAddress(QStringLiteral("127.0.0.1"));
        settings.sync();
        QCOMPARE(fileMode(path), mode_t(0600));
        QVERIFY(Settings().autoConnectOnStartup());
    }

    void preferenceFileIsWritable()
    {
        Settings settings;
        settings.setAutoConnectOnStartup(true);
        settings.sync();
        QVERIFY(settings.isPreferenceFileWritable());
    }

    void recoverPermissionRewritesInPlace()
    {
        QString path;
        {
            Settings settings;
            settings.setProxyAddress(QStringLiteral("10.0.0.7"));
            settings.sync();
            path = settings.fileName();
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();
        QVERIFY(before.contains("10.0.0.7"));
        QVERIFY(::chmod(QFile::encodeName(path).constData(), 0444) == 0);
        QVERIFY(::chown(QFile::encodeName(path).constData(), 65534, 65534) == 0 || ::geteuid() != 0);
        const ino_t oldInode = inode(path);

        QVERIFY(Settings().recoverPreferenceFilePermission());

        QCOMPARE(fileMode(path), mode_t(0600));
        QVERIFY(inode(path) != oldInode);
        QFileInfo info(path);
        QCOMPARE(info.ownerId(), uint(::geteuid()));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
        file.close();
        const QStringList leftovers = QFileInfo(path).dir().entryList({info.fileName() + ".*"}, QDir::Files);
        QVERIFY2(leftovers.isEmpty(), qPrintable(leftovers.join(' ')));
        QCOMPARE(Settings().getProxyAddress(), QStringLiteral("10.0.0.7"));
    }

    // The case the repair exists for: a store the user can read but not write
    // (left by a run as root). Runs the repair as an ordinary user.
    void repairAsOrdinaryUser_data()
    {
        QTest::addColumn<bool>("userOwnsDirectory");
        QTest::addColumn<QString>("report");
        QTest::newRow("repairable") << true << "before=0 repaired=1 after=1 address=10.0.0.7";
        QTest::newRow("directory not writable") << false << "before=0 repaired=0 after=0 address=10.0.0.7";
    }

    void repairAsOrdinaryUser()
    {
        QFETCH(bool, userOwnsDirectory);
        QFETCH(QString, report);
        const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        const struct passwd *nobody = ::getpwnam("nobody");
        if (::geteuid() != 0 || setpriv.isEmpty() || !nobody)
            QSKIP("needs root, setpriv and the user nobody to run the repair as an ordinary user");

        QTemporaryDir base;
        QVERIFY(base.isValid());
        QVERIFY(::chmod(QFile::encodeName(base.path()).constData(), 0755) == 0);
        const QString directory = base.filePath(QStringLiteral("store"));
        QVERIFY(QDir().mkdir(directory));
        if (userOwnsDirectory)
            QVERIFY(::chown(QFile::encodeName(directory).constData(), nobody->pw_uid, nobody->pw_gid) == 0);
        const QString probe = base.filePath(QStringLiteral("probe"));
        QVERIFY(QFile::copy(QStringLiteral(PREFS_REPAIR_PROBE), probe));
        const QString path = directory + QStringLiteral("/store.ini");
        const QByteArray content("[preferences]\nproxy-custom-address=10.0.0.7\n");
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        QVERIFY(::chmod(QFile::encodeName(path).constData(), 0644) == 0);

        QProcess run;
        run.start(setpriv,
                  {QStringLiteral("--reuid=%1").arg(nobody->pw_uid), QStringLiteral("--regid=%1").arg(nobody->pw_gid),
                   QStringLiteral("--clear-groups"), probe, path});
        QVERIFY(run.waitForFinished(20000));
        QCOMPARE(run.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(run.readAllStandardOutput()).trimmed(), report);

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), content);
        QCOMPARE(QFileInfo(path).ownerId(), userOwnsDirectory ? uint(nobody->pw_uid) : 0u);
        QCOMPARE(fileMode(path), userOwnsDirectory ? mode_t(0600) : mode_t(0644));
        QCOMPARE(QDir(directory).entryList(QDir::Files), QStringList {QStringLiteral("store.ini")});
    }

    void recoverPermissionWithoutAFileFails()
    {
        const QString path = QDir::temp().filePath(QStringLiteral("orval-missing-store.ini"));
        QFile::remove(path);
        Settings settings(path);
        QFile::remove(path);
        QVERIFY(!settings.recoverPreferenceFilePermission());
        QVERIFY(!QFileInfo::exists(path));
    }
};

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
