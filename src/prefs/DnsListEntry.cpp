#include "prefs/DnsListEntry.h"

#include "prefs/ComparableMetaType.h"

namespace {
[[maybe_unused]] const int entryMetaType = registerComparableMetaType<DnsListEntry>("DnsListEntry");
}

const DnsListEntry DnsListEntry::DHCPDEFAULT(QStringLiteral("Set DNS to automatic (DHCP)"),
                                             QHostAddress(), QHostAddress(), false);

DnsListEntry::DnsListEntry(const QString &name, const QHostAddress &dns1, const QHostAddress &dns2,
                           bool editable)
    : name(name), dns1(dns1), dns2(dns2), editable(editable)
{
}

QStringList DnsListEntry::getDns() const
{
    QStringList servers;
    for (const QHostAddress &address : {dns1, dns2}) {
        if (!address.isNull())
            servers << address.toString();
    }
    return servers;
}

bool DnsListEntry::operator==(const DnsListEntry &other) const
{
    return name == other.name && dns1 == other.dns1 && dns2 == other.dns2 && editable == other.editable;
}
