#include "prefs/Settings.h"

#include "catalogue/ServerSitesOrder.h"
#include "prefs/UserStatistics.h"

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
