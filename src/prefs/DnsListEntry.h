#pragma once

#include <QHostAddress>
#include <QMetaType>
#include <QString>
#include <QStringList>

// A named pair of name servers.
class DnsListEntry
{
public:
    DnsListEntry() = default;
    DnsListEntry(const QString &name, const QHostAddress &dns1, const QHostAddress &dns2, bool editable);

    // Lets DHCP set the name servers wherever an entry is expected.
    static const DnsListEntry DHCPDEFAULT;

    QString getName() const { return name; }
    QHostAddress getDns1() const { return dns1; }
    QHostAddress getDns2() const { return dns2; }
    bool isEditable() const { return editable; }

    // The name servers that are set, in order: an unset address is left out,
    // for no program takes an empty text for a name server.
    QStringList getDns() const;

    bool operator==(const DnsListEntry &other) const;
    bool operator!=(const DnsListEntry &other) const { return !(*this == other); }

private:
    QString name;
    QHostAddress dns1;
    QHostAddress dns2;
    bool editable = true;
};

Q_DECLARE_METATYPE(DnsListEntry)
