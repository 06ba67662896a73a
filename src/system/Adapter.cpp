#include "system/Adapter.h"

#include "system/NetworkSetup.h"
#include "system/NetworkSetupFailed.h"
#include "system/StelvaneCommandLines.h"
#include "system/StelvaneRunner.h"
#include "system/SystemLogging.h"

#include <QDebug>
#include <QSettings>

Adapter::Adapter(const QString &service, NetworkSetup &networkSetup)
    : m_name(service)
{
    try {
        m_nameServers = networkSetup.getDnsServers(service);
    } catch (const NetworkSetupFailed &) {
        qCDebug(lcSystem) << "NetworkSetup failed";
    }
}

QString Adapter::savedKey() const
{
    return m_name + QStringLiteral("/staticNameServers");
}

void Adapter::saveNameServers(QSettings &settings) const
{
    settings.setValue(savedKey(), m_nameServers);
}

void Adapter::setNameServers(StelvaneRunner &runner, const QStringList &servers) const
{
    qCDebug(lcSystem) << "set name servers of" << m_name << ": current DNS list" << m_nameServers << ", new DNS list "
                      << servers;
    if (servers == m_nameServers) {
        qCDebug(lcSystem) << "set name servers of" << m_name << ": config is up to date.";
        return;
    }
    runner.execute(StelvaneCommandLines::setNameServers(m_name, servers), false);
}

void Adapter::removeNameServers(StelvaneRunner &runner) const
{
    qCDebug(lcSystem) << "restore name servers of" << m_name << ": switching to DHCP";
    runner.removeNameServers(m_name);
}

void Adapter::restoreNameServers(StelvaneRunner &runner, const QSettings &settings) const
{
    if (!settings.contains(savedKey())) {
        qCDebug(lcSystem) << "restore name servers of" << m_name << ": no saved name servers found.";
        return;
    }
    const QStringList saved = settings.value(savedKey()).toStringList();
    qCDebug(lcSystem) << "restore name servers of" << m_name << ": current DNS list" << m_nameServers
                      << ", restore DNS list " << saved;
    if (saved == m_nameServers) {
        qCDebug(lcSystem) << "restore name servers of" << m_name << ": config is up to date.";
    } else {
        qCDebug(lcSystem) << "restore name servers of" << m_name
                          << (saved.isEmpty() ? ": switching to DHCP" : ": switching to static DNS");
        runner.execute(StelvaneCommandLines::setNameServers(m_name, saved), false);
    }
}
