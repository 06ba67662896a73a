#include "prefs/Settings.h"

#include "catalogue/GeoLocation.h"
#include "catalogue/HalvorixServerSite.h"
#include "catalogue/OpenVpnConfigurationModel.h"
#include "catalogue/ServerSitePortFilter.h"
#include "catalogue/ServerSitePortFilterException.h"
#include "catalogue/ServerSiteProtocolFilter.h"
#include "catalogue/ServerSitesOrder.h"
#include "core/LogHandlerOption.h"
#include "core/TunnelType.h"
#include "openconnect/OpenConnectConnectVia.h"
#include "prefs/DnsList.h"
#include "prefs/DnsPreferenceAction.h"
#include "prefs/DnsRecoveryPreference.h"
#include "prefs/LockFileLeftover.h"
#include "prefs/MtuPreference.h"
#include "prefs/OwnerOnlyFile.h"
#include "prefs/UserStatistics.h"
#include "system/NetworkInterface.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QMainWindow>
#include <QStandardPaths>
#include <QSystemTrayIcon>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QString PREFERENCES_GROUP = QStringLiteral("preferences");

const char *const KEY_SETTING_VERSION = "settingVersion";
const char *const KEY_CONFIG_DIR = "config/configDir";
const char *const KEY_INSTALL_ID = "lifecycle/installId";
const char *const KEY_DNS_STACK = "dns/current-dns-stack";
const char *const KEY_IKS_DISABLED_INTERFACES = "preferences/internet-kill-switch-disabled-interfaces";
const char *const KEY_TRAY_ICON = "tray-icon-enabled";
const char *const KEY_BLOCK_INTERNET = "block-internet-when-not-connected";
const char *const KEY_REMOVE_IKS_ON_CLOSE = "remove-internet-kill-switch-on-close";
const char *const KEY_EXECUTE_SCRIPTS = "execute-external-scripts";
const char *const KEY_WINDOW_GEOMETRY = "window-geometry";
const char *const KEY_WINDOW_STATE = "window-state";
const char *const KEY_PROXY_SETTINGS = "proxy-settings";
const char *const KEY_PROXY_PROTOCOL = "proxy-custom-protocol";

const QString LOCATION_PREFIX = QStringLiteral("my-location");
const QString KEY_SERVER_SITE = QStringLiteral("connect/serverSite");
const QString DEFAULT_SERVER_SITE = QStringLiteral("USA-Dallas");
const QString KEY_TUNNEL_TYPE = QStringLiteral("connect/tunnelType");
const QString KEY_OPENCONNECT_VIA = QStringLiteral("connect/protocol-openconnect");
const QString KEY_CUSTOM_DNS = QStringLiteral("dns/custom-dns");
const QString KEY_DEDICATED_IP = QStringLiteral("server-sites/dedicated-ip");
const QString DNS_GROUP = QStringLiteral("dns");
const QString STAGE_ONSTART = QStringLiteral("dns-action-onstart");
const QString STAGE_BEFORECONNECT = QStringLiteral("dns-action-beforeconnect");
const QString STAGE_AFTERCONNECT = QStringLiteral("dns-action-afterconnect");

const int WINDOW_STATE_VERSION = 0;

const char *const KEY_CREDENTIALS = "login/credentials";
const char *const KEY_PLAIN_USERNAME = "login/username";
const char *const KEY_PLAIN_PASSWORD = "login/password";
const char *const KEY_PLAIN_REMEMBER = "login/rememberCredentials";

// Fixed for every installation: records written elsewhere must stay readable.
const char *const CREDENTIAL_NONCE_HEX = "a4c19e07b35f2d68";
const char *const CREDENTIAL_KEY_HEX = "7e2b91d04fc3a8561b0de7f29c64a3158f0b2ed7c6194a53e81d07bf2a95c46d";

// What the next start or a clean-up run needs to undo a crashed run's changes
// to the system: the DNS stages, the name servers they saved and the services
// the kill switch disabled. A reset keeps them, or those changes could never
// be undone. The store must be outside any group.
QList<QPair<QString, QVariant>> crashRecoveryRecords(const QSettings &store)
{
    QList<QPair<QString, QVariant>> records;
    const QString savedNameServers = QStringLiteral("saved-network-adapter-state/");
    for (const QString &key : store.allKeys()) {
        if (key == QLatin1String(KEY_DNS_STACK) || key == QLatin1String(KEY_IKS_DISABLED_INTERFACES)
            || key.startsWith(savedNameServers))
            records.append({key, store.value(key)});
    }
    return records;
}

// A directory under a writable standard location, created when missing;
// the directory of the empty path when there is none.
QDir writableDirectory(const QString &path, const char *noLocationMessage)
{
    if (path.isEmpty()) {
        qDebug() << noLocationMessage;
        return QDir(QString());
    }
    if (!QDir().mkpath(path)) {
        qDebug() << "Warning: Can not create " << path;
        return QDir(QString());
    }
    return QDir(path);
}

// Credentials live in this file: it is created owner-only before the store
// first writes it; later writes replace it atomically and keep its mode.
void createStoreFileOwnerOnly(const QString &path)
{
    if (path.isEmpty() || QFileInfo::exists(path))
        return;
    QDir().mkpath(QFileInfo(path).absolutePath());
    OwnerOnlyFile::createIfMissing(path);
}

bool writeAll(int fd, const QByteArray &bytes)
{
    qint64 written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + written, static_cast<size_t>(bytes.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        written += n;
    }
    return true;
}
} // namespace

Settings::Settings()
    : QSettings()
{
    createStoreFileOwnerOnly(QSettings::fileName());
    enterGroup();
}

Settings::Settings(const QString &fileName)
    : QSettings(fileName, QSettings::IniFormat)
{
    createStoreFileOwnerOnly(QSettings::fileName());
    enterGroup();
}

void Settings::removeLockLeftByThisProcess()
{
    if (LockFileLeftover::removeIfLeftByThisProcess(QSettings().fileName() + QStringLiteral(".lock")))
        qDebug() << "Removed the settings lock left by this process before it was replaced";
}

void Settings::leaveGroup()
{
    endGroup();
}

void Settings::enterGroup()
{
    beginGroup(PREFERENCES_GROUP);
}

bool Settings::flag(const char *key, bool defaultValue) const
{
    return value(QLatin1String(key), defaultValue).toBool();
}

QString Settings::text(const char *key, const QString &defaultValue) const
{
    return value(QLatin1String(key), defaultValue).toString();
}

QStringList Settings::textList(const char *key) const
{
    return value(QLatin1String(key)).toStringList();
}

void Settings::store(const char *key, const QVariant &newValue)
{
    setValue(QLatin1String(key), newValue);
}

// General behaviour.

bool Settings::autoConnectOnStartup() const
{
    return flag("auto-connect-on-startup", false);
}
void Settings::setAutoConnectOnStartup(bool v)
{
    store("auto-connect-on-startup", v);
}
bool Settings::autoLoginOnConnect() const
{
    return flag("auto-login-on-connect", true);
}
void Settings::setAutoLoginOnConnect(bool v)
{
    store("auto-login-on-connect", v);
}
bool Settings::stillActiveWarningEnable() const
{
    return flag("stillActiveWarningEnable", true);
}
void Settings::setStillActiveWarningEnable(bool v)
{
    store("stillActiveWarningEnable", v);
}
bool Settings::displayCipherWarning() const
{
    return flag("display-cipher-warning", true);
}
void Settings::setDisplayCipherWarning(bool v)
{
    store("display-cipher-warning", v);
}
bool Settings::getPixelRatioToggle() const
{
    return flag("pixel-ratio-toggle", false);
}
void Settings::setPixelRatioToggle(bool v)
{
    store("pixel-ratio-toggle", v);
}
bool Settings::getHideFromDock() const
{
    return flag("hide-from-dock", false);
}
void Settings::setHideFromDock(bool v)
{
    store("hide-from-dock", v);
}
int Settings::settingsDialogCurrentTabIndex() const
{
    return value(QStringLiteral("settings-dialog-current-tab-index"), 0).toInt();
}
void Settings::setSettingsDialogCurrentTabIndex(int v)
{
    store("settings-dialog-current-tab-index", v);
}

// Tray and window.

bool Settings::trayIconEnabled() const
{
    return QSystemTrayIcon::isSystemTrayAvailable() && isTrayIconSetInPreference();
}

bool Settings::isTrayIconSetInPreference() const
{
    return flag(KEY_TRAY_ICON, true);
}

void Settings::setTrayIconEnabled(bool v)
{
    store(KEY_TRAY_ICON, v);
}
bool Settings::isStartMinimizedSetInPreference() const
{
    return flag("start-minimized", false);
}
void Settings::setStartMinimized(bool v)
{
    store("start-minimized", v);
}
bool Settings::isMinimizeOnConnectSetInPreference() const
{
    return flag("minimize-on-connect", false);
}
void Settings::setMinimizeOnConnect(bool v)
{
    store("minimize-on-connect", v);
}
// The dialog saves this box; reading it back keeps the user's choice in effect.
bool Settings::isMinimizeToTraySetInPreference() const
{
    return flag("minimize-to-tray", false);
}
void Settings::setMinimizeToTray(bool v)
{
    store("minimize-to-tray", v);
}
bool Settings::isCloseToTraySetInPreference() const
{
    return flag("close-to-tray", false);
}
void Settings::setCloseToTray(bool v)
{
    store("close-to-tray", v);
}
bool Settings::isDisplayNotificationsSetInPreference() const
{
    return flag("display-notifications", true);
}
void Settings::setDisplayNotifications(bool v)
{
    store("display-notifications", v);
}

bool Settings::shouldStartMinimized() const
{
    return trayIconEnabled() && isStartMinimizedSetInPreference();
}
bool Settings::shouldMinimizeOnConnect() const
{
    return trayIconEnabled() && isMinimizeOnConnectSetInPreference();
}
bool Settings::shouldMinimizeToTray() const
{
    return trayIconEnabled() && isMinimizeToTraySetInPreference();
}
bool Settings::shouldCloseToTray() const
{
    return trayIconEnabled() && isCloseToTraySetInPreference();
}
bool Settings::shouldDisplayNotifications() const
{
    return trayIconEnabled() && isDisplayNotificationsSetInPreference();
}

bool Settings::getRememberWindowGeometry() const
{
    return flag("remember-window-geometry", false);
}
void Settings::setRememberWindowGeometry(bool v)
{
    store("remember-window-geometry", v);
}

void Settings::saveWindowGeometry(const QMainWindow *window)
{
    store(KEY_WINDOW_GEOMETRY, window->saveGeometry());
    store(KEY_WINDOW_STATE, window->saveState(WINDOW_STATE_VERSION));
}

void Settings::restoreWindowGeometry(QMainWindow *window) const
{
    window->restoreGeometry(value(QLatin1String(KEY_WINDOW_GEOMETRY)).toByteArray());
    window->restoreState(value(QLatin1String(KEY_WINDOW_STATE)).toByteArray(), WINDOW_STATE_VERSION);
}

// Logging.

const LogHandlerOption &Settings::getLogHandlerOption() const
{
    return LogHandlerOption::fromString(text("logHandlerOption"));
}

void Settings::setLogHandlerOption(const LogHandlerOption &option)
{
    store("logHandlerOption", option.toString());
}
bool Settings::getShowLogToFileWarning() const
{
    return flag("showLogToFileWarning", true);
}
void Settings::setShowLogToFileWarning(bool v)
{
    store("showLogToFileWarning", v);
}

// Connection.

Settings::TlsMinimumVersion Settings::getTlsMinimumVersion() const
{
    const QString stored = text("tls-minimum-version", QStringLiteral("1.2"));
    if (stored == QLatin1String("1.0"))
        return TLS_1_0;
    if (stored != QLatin1String("1.2"))
        qDebug() << "Settings::TlsMinimumVersion Settings::getTlsMinimumVersion() const"
                 << "Unexpected switch value: " << stored;
    return TLS_1_2;
}

void Settings::setTlsMinimumVersion(TlsMinimumVersion v)
{
    store("tls-minimum-version", v == TLS_1_0 ? QStringLiteral("1.0") : QStringLiteral("1.2"));
}

MtuPreference *Settings::getMtuPreference() const
{
    return MtuPreference::readFrom(*this);
}
void Settings::setMtuPreference(const MtuPreference *preference)
{
    preference->writeTo(*this);
}
bool Settings::getCheckTunTapOnConnect() const
{
    return flag("check-tuntap-on-connect", true);
}
void Settings::setCheckTunTapOnConnect(bool v)
{
    store("check-tuntap-on-connect", v);
}
bool Settings::getRefreshDNSCache() const
{
    return flag("refresh-local-dns-cache", true);
}
void Settings::setRefreshDNSCache(bool v)
{
    store("refresh-local-dns-cache", v);
}
bool Settings::getLookupHostnameBeforeConnecting() const
{
    return flag("lookup-hostname-before-connecting", true);
}
void Settings::setLookupHostnameBeforeConnecting(bool v)
{
    store("lookup-hostname-before-connecting", v);
}

// Proxy.

Settings::ProxySettings Settings::getProxySettings() const
{
    const QString stored = text(KEY_PROXY_SETTINGS, QStringLiteral("DIRECT"));
    if (stored == QLatin1String("DIRECT"))
        return DIRECT;
    if (stored == QLatin1String("STEALTH"))
        return STEALTH;
    if (stored == QLatin1String("CUSTOM"))
        return CUSTOM;
    qDebug() << "Settings::ProxySettings Settings::getProxySettings() const"
             << "Unexpected switch value: " << stored;
    return DIRECT;
}

void Settings::setProxySettings(ProxySettings v)
{
    QString stored = QStringLiteral("DIRECT");
    switch (v) {
    case DIRECT: break;
    case STEALTH: stored = QStringLiteral("STEALTH"); break;
    case CUSTOM: stored = QStringLiteral("CUSTOM"); break;
    default:
        qDebug() << "void Settings::setProxySettings(Settings::ProxySettings)"
                 << "Unexpected switch value: " << static_cast<int>(v);
    }
    store(KEY_PROXY_SETTINGS, stored);
}

QString Settings::getStealthProxyId() const
{
    return text("proxy-stealth-proxy-id");
}
void Settings::setStealthProxyId(const QString &v)
{
    store("proxy-stealth-proxy-id", v);
}

Settings::ProxyProtocol Settings::getProxyProtocol() const
{
    const QString stored = text(KEY_PROXY_PROTOCOL, QStringLiteral("HTTP"));
    if (stored == QLatin1String("HTTP"))
        return HTTP;
    if (stored == QLatin1String("SOCKS5"))
        return SOCKS5;
    qDebug() << "Settings::ProxyProtocol Settings::getProxyProtocol() const"
             << "Unexpected switch value: " << stored;
    return HTTP;
}

void Settings::setProxyProtocol(ProxyProtocol v)
{
    QString stored = QStringLiteral("HTTP");
    switch (v) {
    case HTTP: break;
    case SOCKS5: stored = QStringLiteral("SOCKS5"); break;
    default:
        qDebug() << "void Settings::setProxyProtocol(Settings::ProxyProtocol)"
                 << "Unexpected switch value: " << static_cast<int>(v);
    }
    store(KEY_PROXY_PROTOCOL, stored);
}

QString Settings::getProxyAddress() const
{
    return text("proxy-custom-address");
}
void Settings::setProxyAddress(const QString &v)
{
    store("proxy-custom-address", v);
}
QString Settings::getProxyPort() const
{
    return text("proxy-custom-port");
}
void Settings::setProxyPort(const QString &v)
{
    store("proxy-custom-port", v);
}

// Leak protection and kill switches.

bool Settings::preventWebRtcLeak() const
{
    return flag("prevent-web-rtc-leak", false);
}
void Settings::setPreventWebRtcLeak(bool v)
{
    store("prevent-web-rtc-leak", v);
}
bool Settings::preventIPv6Leak() const
{
    return flag("prevent-ipv6-leak", true);
}
void Settings::setPreventIPv6Leak(bool v)
{
    store("prevent-ipv6-leak", v);
}
bool Settings::blockOutsideDns() const
{
    return flag("block-outside-dns", true);
}
void Settings::setBlockOutsideDns(bool v)
{
    store("block-outside-dns", v);
}
bool Settings::seamlessReconnect() const
{
    return flag("manage-routes-in-house", true);
}
void Settings::setSeamlessReconnect(bool v)
{
    store("manage-routes-in-house", v);
}
bool Settings::isBlockInternetWhenNotConnectedSetInPreference() const
{
    return flag(KEY_BLOCK_INTERNET, false);
}
void Settings::setBlockInternetWhenNotConnected(bool v)
{
    store(KEY_BLOCK_INTERNET, v);
}
bool Settings::shouldBlockInternetWhenNotConnected() const
{
    return seamlessReconnect() && isBlockInternetWhenNotConnectedSetInPreference();
}
bool Settings::armKillswitchAfterFirstConnection() const
{
    return flag("arm-killswitch-after-first-connection", true);
}
void Settings::setArmKillswitchAfterFirstConnection(bool v)
{
    store("arm-killswitch-after-first-connection", v);
}
bool Settings::internetKillSwitch() const
{
    return flag("internet-kill-switch", false);
}
void Settings::setInternetKillSwitch(bool v)
{
    store("internet-kill-switch", v);
}
bool Settings::isRemoveInternetKillSwitchOnCloseSetInPreference() const
{
    return flag(KEY_REMOVE_IKS_ON_CLOSE, false);
}
void Settings::setRemoveInternetKillSwitchOnClose(bool v)
{
    store(KEY_REMOVE_IKS_ON_CLOSE, v);
}
bool Settings::shouldRemoveInternetKillSwitchOnClose() const
{
    return internetKillSwitch() && isRemoveInternetKillSwitchOnCloseSetInPreference();
}

Settings::IksSettings Settings::iksEnableOnConnect() const
{
    const QString stored = text("enable-interfaces-on-connect", QStringLiteral("ask"));
    if (stored == QLatin1String("enable"))
        return ENABLE;
    if (stored == QLatin1String("noop"))
        return NOOP;
    if (stored != QLatin1String("ask"))
        qDebug() << "Settings::IksSettings Settings::iksEnableOnConnect()"
                 << "Unexpected switch value: " << stored;
    return ASK;
}

void Settings::setIksEnableOnConnect(IksSettings v)
{
    QString stored = QStringLiteral("ask");
    if (v == ENABLE)
        stored = QStringLiteral("enable");
    else if (v == NOOP)
        stored = QStringLiteral("noop");
    store("enable-interfaces-on-connect", stored);
}

QStringList Settings::internetKillSwitchDisabledInterfaces() const
{
    return textList("internet-kill-switch-disabled-interfaces");
}
void Settings::setInternetKillSwitchDisabledInterfaces(const QStringList &v)
{
    store("internet-kill-switch-disabled-interfaces", v);
}

bool Settings::isInternetKillSwitchInterface(const NetworkInterface &networkInterface) const
{
    return networkInterface.isInternetKillSwitchInterface(*this);
}

void Settings::setInternetKillSwitchInterface(const NetworkInterface &networkInterface)
{
    networkInterface.writeTo(*this);
}

void Settings::clearInternetKillSwitchInterface(const NetworkInterface &networkInterface)
{
    networkInterface.removeFrom(*this);
}

// Processes and scripts around a connection.

bool Settings::terminateProcessesOnDisconnect() const
{
    return flag("terminate-processes-on-disconnect", false);
}
void Settings::setTerminateProcessesOnDisconnect(bool v)
{
    store("terminate-processes-on-disconnect", v);
}
QStringList Settings::processKillList() const
{
    return textList("processes-to-kill");
}
void Settings::setProcessKillList(const QStringList &v)
{
    store("processes-to-kill", v);
}
bool Settings::executeExternalScripts() const
{
    return flag(KEY_EXECUTE_SCRIPTS, false);
}
void Settings::setExecuteExternalScripts(bool v)
{
    store(KEY_EXECUTE_SCRIPTS, v);
}
int Settings::externalProcessTimeout() const
{
    return value(QStringLiteral("external-script-timeout"), 15).toInt();
}
void Settings::setExternalProcessTimeout(int v)
{
    store("external-script-timeout", v);
}
QString Settings::pathToBeforeConnectScript() const
{
    return text("path-to-before-connect-script");
}
void Settings::setPathToBeforeConnectScript(const QString &v)
{
    store("path-to-before-connect-script", v);
}
QString Settings::pathToAfterConnectScript() const
{
    return text("path-to-after-connect-script");
}
void Settings::setPathToAfterConnectScript(const QString &v)
{
    store("path-to-after-connect-script", v);
}
QString Settings::pathToAfterDisconnectScript() const
{
    return text("path-to-after-disconnect-script");
}
void Settings::setPathToAfterDisconnectScript(const QString &v)
{
    store("path-to-after-disconnect-script", v);
}

bool Settings::scriptShouldRun(const QString &path) const
{
    return !path.trimmed().isEmpty() && executeExternalScripts();
}

bool Settings::executeBeforeConnectScript() const
{
    return scriptShouldRun(pathToBeforeConnectScript());
}
bool Settings::executeAfterConnectScript() const
{
    return scriptShouldRun(pathToAfterConnectScript());
}
bool Settings::executeAfterDisconnectScript() const
{
    return scriptShouldRun(pathToAfterDisconnectScript());
}

// Account API.

QDateTime Settings::lastHalvorixAPIClientRequest() const
{
    const QString stored = text("last-HalvorixAPIClient-request");
    if (stored.isEmpty())
        return QDateTime::fromMSecsSinceEpoch(0, Qt::UTC);
    return QDateTime::fromString(stored, Qt::ISODate);
}

void Settings::setLastHalvorixAPIClientRequest(const QDateTime &v)
{
    store("last-HalvorixAPIClient-request", v.toUTC().toString(Qt::ISODate));
}

// Usage statistics.

QVariantMap Settings::getUserStatisticsMap() const
{
    return value(UserStatistics::USER_STATISTICS).toMap();
}

void Settings::saveUserStatistics(const UserStatistics &statistics)
{
    statistics.writeToSettings(*this);
}

// Server list order.

ServerSitesOrder *Settings::getServerSitesOrder()
{
    return ServerSitesOrder::readFrom(*this);
}

void Settings::setServerSitesOrder(const ServerSitesOrder *order)
{
    order->writeTo(*this);
}

// DNS state kept across runs.

DnsRecoveryPreference Settings::recoverDNSStackOnStart()
{
    leaveGroup();
    const DnsRecoveryPreference preference = DnsRecoveryPreference::readFrom(*this);
    enterGroup();
    return preference;
}

void Settings::setRecoverDNSStackOnStart(const DnsRecoveryPreference &preference)
{
    leaveGroup();
    preference.writeTo(*this);
    enterGroup();
}

QStringList Settings::getDnsStackNames()
{
    return topLevelValue(QLatin1String(KEY_DNS_STACK)).toStringList();
}

void Settings::setDnsStackNames(const QStringList &names)
{
    setTopLevelValue(QLatin1String(KEY_DNS_STACK), names);
}

// Paths and the store itself.

bool Settings::isPreferenceFileWritable() const
{
    return isWritable();
}

// Rewrites the store's file as a new file of the current user, readable and
// writable by the owner only. The new content goes to a temporary file that
// replaces the old one in a single rename, so a failure at any step leaves
// the stored preferences as they were.
bool Settings::recoverPreferenceFilePermission()
{
    const QString path = QSettings::fileName();
    QFile old(path);
    if (!old.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = old.readAll();
    const bool readFailed = old.error() != QFileDevice::NoError;
    old.close();
    if (readFailed)
        return false;

    QByteArray tempPath = QFile::encodeName(path + QStringLiteral(".XXXXXX"));
    const int fd = ::mkstemp(tempPath.data());
    if (fd < 0)
        return false;
    const bool written = ::fchmod(fd, 0600) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(tempPath.constData(), QFile::encodeName(path).constData()) != 0) {
        ::unlink(tempPath.constData());
        return false;
    }
    return true;
}

bool Settings::hasConfigDir()
{
    return !topLevelValue(QLatin1String(KEY_CONFIG_DIR)).toString().isEmpty();
}

QDir Settings::configDir()
{
    if (!hasConfigDir())
        qDebug() << "Accessing configDir(), but configDir is not set. Call hasConfigDir() first!";
    return QDir(topLevelValue(QLatin1String(KEY_CONFIG_DIR)).toString());
}

QDir Settings::cacheDir()
{
    QString path = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (path.isEmpty()) {
        const QString data = QStandardPaths::writableLocation(QStandardPaths::DataLocation);
        if (!data.isEmpty())
            path = data + QStringLiteral("/cache");
    }
    return writableDirectory(path, "Warning: Can not determine path to a writeable cache location");
}

QDir Settings::qtDataLocation()
{
    return writableDirectory(QStandardPaths::writableLocation(QStandardPaths::DataLocation),
                             "Warning: Can not determine path to a writeable user additional config location");
}

QString Settings::getDocUrl(const QString &document)
{
    return QStringLiteral("file:///") + QCoreApplication::applicationDirPath() + QStringLiteral("/../Resources/doc/")
           + document;
}

// Top-level keys: leave "preferences" for the one access and come back.

QVariant Settings::topLevelValue(const QString &key, const QVariant &defaultValue)
{
    leaveGroup();
    const QVariant result = value(key, defaultValue);
    enterGroup();
    return result;
}

void Settings::setTopLevelValue(const QString &key, const QVariant &newValue)
{
    leaveGroup();
    setValue(key, newValue);
    enterGroup();
}

bool Settings::containsTopLevel(const QString &key)
{
    leaveGroup();
    const bool has = contains(key);
    enterGroup();
    return has;
}

void Settings::removeTopLevel(const QString &key)
{
    leaveGroup();
    remove(key);
    enterGroup();
}

// Migration.

void Settings::removeIfPresent(const char *key)
{
    if (contains(QLatin1String(key)))
        remove(QLatin1String(key));
}

void Settings::migrate(OsAbstraction &osAbstraction)
{
    for (;;) {
        const int version = topLevelValue(QLatin1String(KEY_SETTING_VERSION), 1).toInt();
        if (version < 1 || version >= CURRENT_SETTING_VERSION)
            return;
        switch (version) {
        case 1: migrateFromVersion1(osAbstraction); break;
        case 2: migrateFromVersion2(); break;
        case 3: migrateFromVersion3(); break;
        default: migrateFromVersion4(); break;
        }
        const int next = version + 1;
        qDebug().noquote() << QStringLiteral("Settings updated to version %1").arg(next);
        // Written after each step, so an interrupted migration resumes where it stopped.
        setTopLevelValue(QLatin1String(KEY_SETTING_VERSION), next);
    }
}

void Settings::migrateFromVersion1(OsAbstraction &)
{
    qDebug() << "Migration Settings: from version 1 to version 2";
    removeIfPresent("resolve-remote-hostnames-with-fallback-ips");
    removeIfPresent("prevent-dns-leak");
}

void Settings::migrateFromVersion2()
{
    removeIfPresent("openvpn243-enabled");
    removeIfPresent("openvpn23-enabled");
    removeIfPresent("pixel-ratio");
}

void Settings::migrateFromVersion3()
{
    // A stored site equal to the built-in default is no choice of the user's.
    if (defaultServerSite() == DEFAULT_SERVER_SITE)
        removeDefaultServerSite();
}

void Settings::migrateFromVersion4()
{
    removeIfPresent("network-server-ip-lookup");
    if (contains(QStringLiteral("seamless-reconnect"))) {
        if (flag("seamless-reconnect", true))
            setSeamlessReconnect(true);
        remove(QStringLiteral("seamless-reconnect"));
    }
}

// Per-site keys.

QString Settings::esc(const QString &text)
{
    return QString(text).replace(QLatin1Char('/'), QLatin1Char('_'));
}

QString Settings::key_serverSite_public(const QString &siteId, const QString &keyWord)
{
    return QStringLiteral("server-sites/public/%1/%2").arg(esc(siteId), keyWord);
}

void Settings::setPinnedIP(const QString &siteId, const QHostAddress &address)
{
    setTopLevelValue(key_serverSite_public(siteId, QStringLiteral("pinned-ip")), address.toString());
}

QHostAddress Settings::getPinnedIP(const QString &siteId)
{
    return QHostAddress(
        topLevelValue(key_serverSite_public(siteId, QStringLiteral("pinned-ip")), QString()).toString());
}

void Settings::setHasPinnedIP(const QString &siteId, bool enabled)
{
    setTopLevelValue(key_serverSite_public(siteId, QStringLiteral("pinned-ip-enabled")), enabled);
}

bool Settings::hasPinnedIP(const QString &siteId)
{
    return topLevelValue(key_serverSite_public(siteId, QStringLiteral("pinned-ip-enabled")), false).toBool()
           && !getPinnedIP(siteId).isNull();
}

void Settings::forgetPinnedIP(const QString &siteId)
{
    removeTopLevel(key_serverSite_public(siteId, QStringLiteral("pinned-ip")));
    removeTopLevel(key_serverSite_public(siteId, QStringLiteral("pinned-ip-enabled")));
}

// Dedicated-IP sites.

QList<HalvorixServerSite> Settings::serverSitesWithDedicatedIp()
{
    QList<HalvorixServerSite> sites;
    if (!hasConfigDir())
        return sites;
    const QDir directory = configDir();
    leaveGroup();
    const int count = beginReadArray(KEY_DEDICATED_IP);
    for (int i = 0; i < count; ++i) {
        setArrayIndex(i);
        // A damaged port must not cost the user the entry, nor stop the reading.
        ServerSitePortFilter portFilter;
        try {
            portFilter = ServerSitePortFilter(value(QStringLiteral("port"), 0).toInt());
        } catch (const ServerSitePortFilterException &e) {
            qDebug() << "Settings::serverSitesWithDedicatedIp:" << e.getMessage() << "- any port is used";
        }
        sites << HalvorixServerSite::dedicatedServerSite(
            text("country-code"), text("comment"), QHostAddress(text("ip-address", QStringLiteral("0.0.0.0"))),
            directory, ServerSiteProtocolFilter(text("protocol")), portFilter);
    }
    endArray();
    enterGroup();
    return sites;
}

void Settings::setServerSitesWithDedicatedIp(const QList<HalvorixServerSite> &sites)
{
    leaveGroup();
    clearTopLevelGroup(KEY_DEDICATED_IP);
    beginWriteArray(KEY_DEDICATED_IP);
    int index = 0;
    for (const HalvorixServerSite &site : sites) {
        if (site.getDedicatedIp().isNull())
            continue;
        setArrayIndex(index++);
        store("country-code", site.getCountryCode());
        // A dedicated site keeps the user's comment where a catalogue site keeps its city.
        store("comment", site.getCity());
        store("ip-address", site.getDedicatedIp().toString());
        store("protocol", site.getDedicatedProtocol());
        store("port", site.getPort());
    }
    endArray();
    enterGroup();
}

// Name-server entries.

DnsList Settings::getCustomDNS()
{
    leaveGroup();
    DnsList list;
    const int count = beginReadArray(KEY_CUSTOM_DNS);
    for (int i = 0; i < count; ++i) {
        setArrayIndex(i);
        list << DnsListEntry(text("name"), QHostAddress(text("dns1")), QHostAddress(text("dns2")), true);
    }
    endArray();
    enterGroup();
    list.addHardCodedEntries();
    return list;
}

void Settings::clearTopLevelGroup(const QString &group)
{
    beginGroup(group);
    remove(QString());
    endGroup();
}

void Settings::setCustomDNS(const DnsList &list)
{
    leaveGroup();
    // Clear first, so no entry of a longer old array survives.
    clearTopLevelGroup(KEY_CUSTOM_DNS);
    beginWriteArray(KEY_CUSTOM_DNS);
    int index = 0;
    for (const DnsListEntry &entry : list) {
        if (!entry.isEditable())
            continue;
        setArrayIndex(index++);
        store("name", entry.getName());
        // An unset address is stored as an empty text.
        store("dns1", entry.getDns1().toString());
        store("dns2", entry.getDns2().toString());
    }
    endArray();
    enterGroup();
}

// DNS actions.

DnsPreferenceAction Settings::readDnsAction(const QString &stage)
{
    leaveGroup();
    beginGroup(DNS_GROUP);
    const DnsPreferenceAction action = DnsPreferenceAction::readFrom(*this, stage);
    endGroup();
    enterGroup();
    return action;
}

void Settings::writeDnsAction(const DnsPreferenceAction &action, const QString &stage)
{
    leaveGroup();
    beginGroup(DNS_GROUP);
    action.writeTo(*this, stage);
    endGroup();
    enterGroup();
}

DnsPreferenceAction Settings::getDnsPreferenceActionOnStart()
{
    return readDnsAction(STAGE_ONSTART);
}
DnsPreferenceAction Settings::getDnsPreferenceActionBeforeConnect()
{
    return readDnsAction(STAGE_BEFORECONNECT);
}
DnsPreferenceAction Settings::getDnsPreferenceActionAfterConnect()
{
    return readDnsAction(STAGE_AFTERCONNECT);
}
void Settings::setDnsPreferenceActionOnStart(const DnsPreferenceAction &a)
{
    writeDnsAction(a, STAGE_ONSTART);
}
void Settings::setDnsPreferenceActionBeforeConnect(const DnsPreferenceAction &a)
{
    writeDnsAction(a, STAGE_BEFORECONNECT);
}
void Settings::setDnsPreferenceActionAfterConnect(const DnsPreferenceAction &a)
{
    writeDnsAction(a, STAGE_AFTERCONNECT);
}

// Connection choice.

QString Settings::defaultServerSite()
{
    return topLevelValue(KEY_SERVER_SITE, DEFAULT_SERVER_SITE).toString();
}

bool Settings::hasDefaultServerSite()
{
    return containsTopLevel(KEY_SERVER_SITE);
}

void Settings::setDefaultServerSite(const QString &siteId)
{
    setTopLevelValue(KEY_SERVER_SITE, siteId);
}

void Settings::setDefaultServerSite(const QString &siteId, const OpenVpnConfigurationModel &model)
{
    setDefaultServerSite(siteId);
    leaveGroup();
    model.writeTo(*this);
    enterGroup();
}

void Settings::setDefaultServerSite(const QString &siteId, const OpenConnectConnectVia &connectVia,
                                    const OpenVpnConfigurationModel &model)
{
    setDefaultServerSite(siteId, model);
    const int kind = connectVia.getType();
    switch (kind) {
    case OpenConnectConnectVia::Udp:
    case OpenConnectConnectVia::Tcp:
        setTopLevelValue(KEY_OPENCONNECT_VIA, HalvorixServerSite::toString(connectVia.getProtocol()));
        break;
    case OpenConnectConnectVia::TcpWithStealthProxy:
    case OpenConnectConnectVia::TcpWithCustomProxy: break;
    default: qWarning() << "Unexpected switch value (OpenConnectConnectVia::Type)" << kind;
    }
}

void Settings::removeDefaultServerSite()
{
    removeTopLevel(KEY_SERVER_SITE);
}

const TunnelType &Settings::getDefaultTunnelType()
{
    return TunnelType::fromString(topLevelValue(KEY_TUNNEL_TYPE, QStringLiteral("OpenVPN")).toString());
}

void Settings::setDefaultTunnelType(const TunnelType &tunnelType)
{
    setTopLevelValue(KEY_TUNNEL_TYPE, tunnelType.toString());
}

bool Settings::hasDefaultOpenConnectConnectVia()
{
    return containsTopLevel(KEY_OPENCONNECT_VIA);
}

const OpenConnectConnectVia &Settings::defaultOpenConnectConnectVia()
{
    return OpenConnectConnectVia::fromString(topLevelValue(KEY_OPENCONNECT_VIA, QString()).toString());
}

bool Settings::hasDefaultOpenVpn243SelectionConfigCipher()
{
    leaveGroup();
    const bool has = OpenVpnConfigurationModel::checkIfDefaultValueExists(*this);
    enterGroup();
    return has;
}

OpenVpnConfigurationModel Settings::defaultOpenVpn243SelectionConfigCipher()
{
    leaveGroup();
    const OpenVpnConfigurationModel model = OpenVpnConfigurationModel::readFrom(*this);
    enterGroup();
    return model;
}

QString Settings::getDefaultOpenVPN243Protocol()
{
    leaveGroup();
    const QString protocol = OpenVpnConfigurationModel::getOpenVPN243ProtocolFromSettings(*this);
    enterGroup();
    return protocol;
}

// Location.

GeoLocation Settings::getMyLocation()
{
    leaveGroup();
    const GeoLocation location = GeoLocation::readFrom(*this, LOCATION_PREFIX);
    enterGroup();
    return location;
}

void Settings::setMyLocation(const GeoLocation &location)
{
    leaveGroup();
    location.writeTo(*this, LOCATION_PREFIX);
    enterGroup();
}

bool Settings::hasMyLocation()
{
    const GeoLocation location = getMyLocation();
    // A stored NaN counts as set: it is not 0.0.
    return !(location.getLatitude() == 0.0) && !(location.getLongitude() == 0.0);
}

// Remembered login.

Salsa20 Settings::newCredentialCrypt() const
{
    return Salsa20::createSalsa20(QByteArray::fromHex(CREDENTIAL_NONCE_HEX), QByteArray::fromHex(CREDENTIAL_KEY_HEX));
}

QJsonObject Settings::getCredentials()
{
    const QString stored = topLevelValue(QLatin1String(KEY_CREDENTIALS)).toString();
    if (stored.isEmpty())
        return QJsonObject();
    const QByteArray sealed = QByteArray::fromBase64(stored.toUtf8());
    // The record format is Qt's binary JSON: stored files of every earlier
    // installation hold it, so it is kept although Qt deprecates it.
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    const QJsonDocument document =
        QJsonDocument::fromBinaryData(newCredentialCrypt().crypt(sealed), QJsonDocument::Validate);
    QT_WARNING_POP
    if (!document.isObject() || document.object().isEmpty()) {
        qDebug() << "Settings::getCredentials: the remembered login could not be decoded";
        return QJsonObject();
    }
    return document.object();
}

QString Settings::getUsername()
{
    const QJsonObject record = getCredentials();
    if (!record.isEmpty())
        return record.value(QStringLiteral("username")).toString();
    return topLevelValue(QLatin1String(KEY_PLAIN_USERNAME)).toString();
}

QString Settings::getPassword()
{
    const QJsonObject record = getCredentials();
    if (!record.isEmpty())
        return record.value(QStringLiteral("password")).toString();
    return topLevelValue(QLatin1String(KEY_PLAIN_PASSWORD)).toString();
}

bool Settings::remembersCredentials()
{
    if (!getCredentials().isEmpty())
        return true;
    return topLevelValue(QLatin1String(KEY_PLAIN_REMEMBER), false).toBool();
}

void Settings::rememberCredentials(const QString &username, const QString &password)
{
    // A store written by an older build may be readable by others; it is about
    // to hold the login, so take that away.
    OwnerOnlyFile::restrictToOwner(QSettings::fileName());
    leaveGroup();
    remove(QLatin1String(KEY_PLAIN_USERNAME));
    remove(QLatin1String(KEY_PLAIN_PASSWORD));
    remove(QLatin1String(KEY_PLAIN_REMEMBER));
    const QJsonObject record {{QStringLiteral("username"), username}, {QStringLiteral("password"), password}};
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    const QByteArray plain = QJsonDocument(record).toBinaryData();
    QT_WARNING_POP
    store(KEY_CREDENTIALS, QString::fromLatin1(newCredentialCrypt().crypt(plain).toBase64()));
    enterGroup();
}

void Settings::forgetCredentials()
{
    leaveGroup();
    beginGroup(QStringLiteral("login"));
    for (const char *key : {"rememberCredentials", "username", "password", "credentials"})
        remove(QLatin1String(key));
    endGroup();
    enterGroup();
}

void Settings::clear()
{
    const GeoLocation location = getMyLocation();
    leaveGroup();
    const int version = value(QLatin1String(KEY_SETTING_VERSION), 1).toInt();
    const QString installId = text(KEY_INSTALL_ID, QString());
    const QString configDirectory = text(KEY_CONFIG_DIR);
    qDebug() << installId;
    const QList<QPair<QString, QVariant>> recoveryRecords = crashRecoveryRecords(*this);

    QSettings::clear();
    for (const auto &record : recoveryRecords)
        setValue(record.first, record.second);

    UserStatistics::initUserStatistics();
    UserStatistics::getUserStatistics().resetStatistics();

    store(KEY_INSTALL_ID, installId);
    store(KEY_CONFIG_DIR, configDirectory);
    store(KEY_SETTING_VERSION, version);
    enterGroup();
    setMyLocation(location);
}
