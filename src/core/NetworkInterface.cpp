#include "core/NetworkInterface.h"

#include <QSettings>

QString NetworkInterface::killSwitchKey() const
{
    // Only the first placeholder is filled: stored files hold keys that end
    // in the literal ".%2", so it has to stay part of the key.
    return QStringLiteral("internet-kill-switch-interface.") + m_name + QStringLiteral(".%2");
}

void NetworkInterface::writeTo(QSettings &settings) const
{
    settings.setValue(killSwitchKey(), true);
}

void NetworkInterface::removeFrom(QSettings &settings) const
{
    settings.remove(killSwitchKey());
}

bool NetworkInterface::isInternetKillSwitchInterface(const QSettings &settings) const
{
    return settings.value(killSwitchKey(), false).toBool();
}
