#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include "catalogue/Salsa20.h"

#include <QJsonObject>

#include <QHostAddress>

class DnsList;
class DnsPreferenceAction;
class DnsRecoveryPreference;
class GeoLocation;
class HalvorixServerSite;
class OpenConnectConnectVia;
class OpenVpnConfigurationModel;
class OsAbstraction;
class ServerSitesOrder;
class TunnelType;
class LogHandlerOption;
class MtuPreference;
class NetworkInterface;
class QMainWindow;
class UserStatistics;

// The typed accessor of the per-user preferences. Make one on the stack per
// operation; between calls it always stands in the group "preferences", and
// accessors of top-level keys leave that group and re-enter it.
class Settings : public QSettings
{
public:
    // A fixed underlying type: values read from elsewhere may lie outside the list.
    enum TlsMinimumVersion : int { TLS_1_0 = 0, TLS_1_2 = 1 };
    enum IksSettings : int { ASK = 0, ENABLE = 1, NOOP = 2 };
    enum ProxySettings : int { DIRECT = 0, STEALTH = 1, CUSTOM = 2 };
    enum ProxyProtocol : int { HTTP = 0, SOCKS5 = 1 };

    Settings();
    explicit Settings(const QString &fileName);

    // General behaviour.
    bool autoConnectOnStartup() const;
    void setAutoConnectOnStartup(bool value);
    bool autoLoginOnConnect() const;
    void setAutoLoginOnConnect(bool value);
    bool stillActiveWarningEnable() const;
    void setStillActiveWarningEnable(bool value);
    bool displayCipherWarning() const;
    void setDisplayCipherWarning(bool value);
    bool getPixelRatioToggle() const;
    void setPixelRatioToggle(bool value);
    bool getHideFromDock() const;
    void setHideFromDock(bool value);
    int settingsDialogCurrentTabIndex() const;
    void setSettingsDialogCurrentTabIndex(int value);

    // Tray and window.
    // The stored choice and a system that offers a tray.
    bool trayIconEnabled() const;
    // The stored choice alone, whether or not the system offers a tray.
    bool isTrayIconSetInPreference() const;
    void setTrayIconEnabled(bool value);
    bool isStartMinimizedSetInPreference() const;
    void setStartMinimized(bool value);
    bool isMinimizeOnConnectSetInPreference() const;
    void setMinimizeOnConnect(bool value);
    bool isMinimizeToTraySetInPreference() const;
    void setMinimizeToTray(bool value);
    bool isCloseToTraySetInPreference() const;
    void setCloseToTray(bool value);
    bool isDisplayNotificationsSetInPreference() const;
    void setDisplayNotifications(bool value);
    bool shouldStartMinimized() const;
    bool shouldMinimizeOnConnect() const;
    bool shouldMinimizeToTray() const;
    bool shouldCloseToTray() const;
    bool shouldDisplayNotifications() const;
    bool getRememberWindowGeometry() const;
    void setRememberWindowGeometry(bool value);
    void saveWindowGeometry(const QMainWindow *window);
    void restoreWindowGeometry(QMainWindow *window) const;

    // Logging.
    const LogHandlerOption &getLogHandlerOption() const;
    void setLogHandlerOption(const LogHandlerOption &option);
    bool getShowLogToFileWarning() const;
    void setShowLogToFileWarning(bool value);

    // Connection.
    TlsMinimumVersion getTlsMinimumVersion() const;
    void setTlsMinimumVersion(TlsMinimumVersion value);
    MtuPreference *getMtuPreference() const;
    void setMtuPreference(const MtuPreference *preference);
    bool getCheckTunTapOnConnect() const;
    void setCheckTunTapOnConnect(bool value);
    bool getRefreshDNSCache() const;
    void setRefreshDNSCache(bool value);
    bool getLookupHostnameBeforeConnecting() const;
    void setLookupHostnameBeforeConnecting(bool value);

    // Proxy.
    ProxySettings getProxySettings() const;
    void setProxySettings(ProxySettings value);
    QString getStealthProxyId() const;
    void setStealthProxyId(const QString &value);
    ProxyProtocol getProxyProtocol() const;
    void setProxyProtocol(ProxyProtocol value);
    QString getProxyAddress() const;
    void setProxyAddress(const QString &value);
    QString getProxyPort() const;
    void setProxyPort(const QString &value);

    // Leak protection and kill switches.
    bool preventWebRtcLeak() const;
    void setPreventWebRtcLeak(bool value);
    bool preventIPv6Leak() const;
    void setPreventIPv6Leak(bool value);
    bool blockOutsideDns() const;
    void setBlockOutsideDns(bool value);
    bool seamlessReconnect() const;
    void setSeamlessReconnect(bool value);
    bool isBlockInternetWhenNotConnectedSetInPreference() const;
    void setBlockInternetWhenNotConnected(bool value);
    bool shouldBlockInternetWhenNotConnected() const;
    bool armKillswitchAfterFirstConnection() const;
    void setArmKillswitchAfterFirstConnection(bool value);
    bool internetKillSwitch() const;
    void setInternetKillSwitch(bool value);
    bool isRemoveInternetKillSwitchOnCloseSetInPreference() const;
    void setRemoveInternetKillSwitchOnClose(bool value);
    bool shouldRemoveInternetKillSwitchOnClose() const;
    IksSettings iksEnableOnConnect() const;
    void setIksEnableOnConnect(IksSettings value);
    QStringList internetKillSwitchDisabledInterfaces() const;
    void setInternetKillSwitchDisabledInterfaces(const QStringList &value);
    bool isInternetKillSwitchInterface(const NetworkInterface &networkInterface) const;
    void setInternetKillSwitchInterface(const NetworkInterface &networkInterface);
    void clearInternetKillSwitchInterface(const NetworkInterface &networkInterface);

    // Processes and scripts around a connection.
    bool terminateProcessesOnDisconnect() const;
    void setTerminateProcessesOnDisconnect(bool value);
    QStringList processKillList() const;
    void setProcessKillList(const QStringList &value);
    bool executeExternalScripts() const;
    void setExecuteExternalScripts(bool value);
    int externalProcessTimeout() const;
    void setExternalProcessTimeout(int value);
    QString pathToBeforeConnectScript() const;
    void setPathToBeforeConnectScript(const QString &value);
    QString pathToAfterConnectScript() const;
    void setPathToAfterConnectScript(const QString &value);
    QString pathToAfterDisconnectScript() const;
    void setPathToAfterDisconnectScript(const QString &value);
    bool executeBeforeConnectScript() const;
    bool executeAfterConnectScript() const;
    bool executeAfterDisconnectScript() const;

    // Account API.
    QDateTime lastHalvorixAPIClientRequest() const;
    void setLastHalvorixAPIClientRequest(const QDateTime &value);

    // Usage statistics.
    QVariantMap getUserStatisticsMap() const;
    void saveUserStatistics(const UserStatistics &statistics);

    // The order of the server list.
    ServerSitesOrder *getServerSitesOrder();
    void setServerSitesOrder(const ServerSitesOrder *order);

    // DNS state kept across runs (top level).
    DnsRecoveryPreference recoverDNSStackOnStart() const;
    void setRecoverDNSStackOnStart(const DnsRecoveryPreference &preference);
    QStringList getDnsStackNames();
    void setDnsStackNames(const QStringList &names);

    // Paths and the store itself.
    bool isPreferenceFileWritable() const;
    bool recoverPreferenceFilePermission();
    bool hasConfigDir() const;
    QDir configDir() const;
    static QDir cacheDir();
    static QDir qtDataLocation();
    static QString getDocUrl(const QString &document);
    // A process image that replaced this one (the clean-up run started from a
    // termination signal keeps the process id) may find the store's lock file
    // still naming this process: Qt would wait until it turns stale. Removes
    // such a lock, and only such a lock.
    static void removeLockLeftByThisProcess();

    // Remembered login (top level "login/..."): one Salsa20-obscured record;
    // the plain keys of older versions are read only when it is absent.
    Salsa20 newCredentialCrypt() const;
    QJsonObject getCredentials() const;
    QString getUsername();
    QString getPassword();
    bool remembersCredentials() const;
    void rememberCredentials(const QString &username, const QString &password);
    void forgetCredentials();

    // Brings a store of an older format version up to CURRENT_SETTING_VERSION,
    // one step per version; a store of a newer version is left alone.
    static const int CURRENT_SETTING_VERSION = 5;
    void migrate(OsAbstraction &osAbstraction);
    void migrateFromVersion1(OsAbstraction &osAbstraction);
    void migrateFromVersion2();
    void migrateFromVersion3();
    void migrateFromVersion4();

    // Per-site keys "server-sites/public/<escaped id>/<word>" (top level).
    static QString esc(const QString &text);
    static QString key_serverSite_public(const QString &siteId, const QString &keyWord);
    void setPinnedIP(const QString &siteId, const QHostAddress &address);
    QHostAddress getPinnedIP(const QString &siteId);
    void setHasPinnedIP(const QString &siteId, bool enabled);
    bool hasPinnedIP(const QString &siteId);
    void forgetPinnedIP(const QString &siteId);

    // The user's dedicated-IP sites ("server-sites/dedicated-ip").
    QList<HalvorixServerSite> serverSitesWithDedicatedIp() const;
    void setServerSitesWithDedicatedIp(const QList<HalvorixServerSite> &sites);

    // The user's name-server entries ("dns/custom-dns"), headed by the built-in ones.
    DnsList getCustomDNS() const;
    void setCustomDNS(const DnsList &list);

    // The three DNS actions, in the top-level group "dns".
    DnsPreferenceAction getDnsPreferenceActionOnStart() const;
    DnsPreferenceAction getDnsPreferenceActionBeforeConnect() const;
    DnsPreferenceAction getDnsPreferenceActionAfterConnect() const;
    void setDnsPreferenceActionOnStart(const DnsPreferenceAction &action);
    void setDnsPreferenceActionBeforeConnect(const DnsPreferenceAction &action);
    void setDnsPreferenceActionAfterConnect(const DnsPreferenceAction &action);

    // The last connection choice ("connect/...").
    QString defaultServerSite();
    bool hasDefaultServerSite();
    void setDefaultServerSite(const QString &siteId);
    void setDefaultServerSite(const QString &siteId, const OpenVpnConfigurationModel &model);
    // The OpenConnect transport is kept only for plain UDP or TCP, so that a
    // proxy connection does not replace the last direct choice.
    void setDefaultServerSite(const QString &siteId, const OpenConnectConnectVia &connectVia,
                              const OpenVpnConfigurationModel &model);
    void removeDefaultServerSite();
    const TunnelType &getDefaultTunnelType();
    void setDefaultTunnelType(const TunnelType &tunnelType);
    bool hasDefaultOpenConnectConnectVia();
    const OpenConnectConnectVia &defaultOpenConnectConnectVia();
    bool hasDefaultOpenVpn243SelectionConfigCipher();
    OpenVpnConfigurationModel defaultOpenVpn243SelectionConfigCipher();
    QString getDefaultOpenVPN243Protocol();

    // The user's own location ("my-location-...").
    GeoLocation getMyLocation();
    void setMyLocation(const GeoLocation &location);
    bool hasMyLocation();

    // Restores every default; keeps the version, install identifier,
    // configuration directory and location.
    void clear();

private:
    bool flag(const char *key, bool defaultValue) const;
    QString text(const char *key, const QString &defaultValue = QString()) const;
    QStringList textList(const char *key) const;
    void store(const char *key, const QVariant &value);
    bool scriptShouldRun(const QString &path) const;

    // QSettings moves its read position (group, array) only through non-const
    // calls; a reader moves it and puts it back, so const readers move it here.
    Settings &readPosition() const;
    void leaveGroup() const;
    void enterGroup() const;
    QVariant topLevelValue(const QString &key, const QVariant &defaultValue = QVariant()) const;
    void setTopLevelValue(const QString &key, const QVariant &newValue);
    bool containsTopLevel(const QString &key);
    void removeTopLevel(const QString &key);
    void removeIfPresent(const char *key);
    void clearTopLevelGroup(const QString &group);
    DnsPreferenceAction readDnsAction(const QString &stage) const;
    void writeDnsAction(const DnsPreferenceAction &action, const QString &stage);
};
