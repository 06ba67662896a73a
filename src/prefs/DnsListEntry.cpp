#include "prefs/DnsListEntry.h"

const DnsListEntry DnsListEntry::DHCPDEFAULT(QStringLiteral("Set DNS to automatic (DHCP)"),
                                             QHostAddress(), QHostAddress(), false);

DnsListEntry::DnsListEntry(const QString &name, const QHostAddress &dns1, const QHostAddress &dns2,
                           bool editable)
    : name(name), dns1(dns1), dns2(dns2), editable(editable)
{
}

QStringList DnsListEntry::getDns() const
{
    const auto text = [](const QHostAddress &address) {
        return address.isNull() ? QString() : address.toString();
    };
    return {text(dns1), text(dns2)};
}

bool DnsListEntry::operator==(const DnsListEntry &other) const
{
    return name == other.name && dns1 == other.dns1 && dns2 == other.dns2 && editable == other.editable;
}
