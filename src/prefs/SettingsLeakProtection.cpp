#include "prefs/Settings.h"

#include "core/NetworkInterface.h"
#include "prefs/PrefsLogging.h"

#include <QDebug>

namespace {
const char *const KEY_BLOCK_INTERNET = "block-internet-when-not-connected";
const char *const KEY_REMOVE_IKS_ON_CLOSE = "remove-internet-kill-switch-on-close";
} // namespace

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
        qCDebug(lcPrefs) << "Settings::IksSettings Settings::iksEnableOnConnect()"
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
