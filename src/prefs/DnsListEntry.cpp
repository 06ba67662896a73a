#include "prefs/DnsListEntry.h"

#include "prefs/ComparableMetaType.h"

namespace {
[[maybe_unused]] const int entryMetaType = registerComparableMetaType<DnsListEntry>("DnsListEntry");
}

const DnsListEntry DnsListEntry::DHCPDEFAULT(QStringLiteral("Set DNS to automatic (DHCP)"), QHostAddress(),
                                             QHostAddress(), false);

DnsListEntry::DnsListEntry(const QString &name, const QHostAddress &dns1, const QHostAddress &dns2, bool editable)
    : m_name(name)
    , m_dns1(dns1)
    , m_dns2(dns2)
    , m_editable(editable)
{
}

QStringList DnsListEntry::getDns() const
{
    QStringList servers;
    for (const QHostAddress &address : {m_dns1, m_dns2}) {
        if (!address.isNull())
            servers << address.toString();
    }
    return servers;
}

bool DnsListEntry::operator==(const DnsListEntry &other) const
{
    return m_name == other.m_name && m_dns1 == other.m_dns1 && m_dns2 == other.m_dns2 && m_editable == other.m_editable;
}
