#include "system/DnsStack.h"

#include "prefs/Settings.h"
#include "system/DnsStages.h"
#include "system/OsAbstraction.h"
#include "system/SystemLogging.h"

#include <QDebug>

const QString DnsStack::start = QStringLiteral("start");
const QString DnsStack::beforeConnect = QStringLiteral("beforeConnect");
const QString DnsStack::afterConnect = QStringLiteral("afterConnect");

DnsStack::DnsStack(OsAbstraction &osAbstraction)
    : m_osAbstraction(osAbstraction)
{
}

int DnsStack::pushMode(const QString &stage)
{
    return stage == start || stage == beforeConnect ? 2 : 1;
}

void DnsStack::persist(const char *label)
{
    Settings settings;
    settings.setDnsStackNames(m_stack);
    settings.sync();
    qCDebug(lcSystem) << label << settings.getDnsStackNames();
}

void DnsStack::push(const QString &stage, const QStringList &servers)
{
    // The stage is recorded before the system is changed, so that a crash
    // during the change still leaves a record from which it can be undone.
    m_stack.append(stage);
    persist("Current Dns stack list after Push: ");
    m_osAbstraction.pushNameServers(stage, servers, pushMode(stage));
}

void DnsStack::restoreTop()
{
    m_osAbstraction.restoreNameServers(m_stack.last());
    m_stack.removeLast();
}

QString DnsStack::popTo(const QString &stage)
{
    if (m_stack.isEmpty()) {
        qCDebug(lcSystem) << "DnsStack empty!";
        return QString();
    }
    if (!m_stack.contains(stage)) {
        qCDebug(lcSystem) << "DnsStack does not contain " << stage;
        return QString();
    }
    QString popped;
    while (popped != stage) {
        popped = m_stack.last();
        restoreTop();
    }
    qCDebug(lcSystem) << stage << " found in DnsStack!";
    persist("Current Dns stack list after PopTo: ");
    return popped;
}

QString DnsStack::popAll()
{
    if (m_stack.isEmpty()) {
        qCDebug(lcSystem) << "DnsStack empty!";
        return QString();
    }
    QString popped;
    while (!m_stack.isEmpty()) {
        popped = m_stack.last();
        restoreTop();
    }
    persist("Current Dns stack list after PopAll: ");
    return popped;
}

QStringList DnsStack::getStack() const
{
    return m_stack;
}

void DnsStack::setStack(const QStringList &stages)
{
    m_stack = stages;
}

void DnsStack::setSystemNameServers(Settings &settings, DnsListEntry entry)
{
    if (entry == DnsListEntry::DHCPDEFAULT)
        restoreSystemDHCPNameServer(settings);
    else
        setSystemNameServersTo(settings, entry.getDns());
}

void DnsStack::warnUnlessOnlyStart(const char *operation) const
{
    if (m_stack == QStringList {start})
        return;
    qCDebug(lcSystem) << "Warning, unexpected stackList: " << m_stack;
    qCDebug(lcSystem).noquote() << QStringLiteral("The option %1 should be used only when the dnsstack is on start")
                                       .arg(QLatin1String(operation));
}

void DnsStack::restoreSystemDHCPNameServer(Settings &settings)
{
    qCDebug(lcSystem) << "Restoring System NameServers to DHCP";
    warnUnlessOnlyStart("restoreSystemDHCPNameServer");
    popAll();
    m_osAbstraction.removeNameServers();
    push(start, DnsStages::getStartupDns(settings));
}

void DnsStack::setSystemNameServersTo(Settings &settings, const QStringList &servers)
{
    qCDebug(lcSystem) << "Setting System NameServers to: " << servers;
    warnUnlessOnlyStart("setSystemNameServersTo");
    popAll();
    m_osAbstraction.setNameServers(servers);
    push(start, DnsStages::getStartupDns(settings));
}
