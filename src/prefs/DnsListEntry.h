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

    QString getName() const { return m_name; }
    QHostAddress getDns1() const { return m_dns1; }
    QHostAddress getDns2() const { return m_dns2; }
    bool isEditable() const { return m_editable; }

    // The name servers that are set, in order: an unset address is left out,
    // for no program takes an empty text for a name server.
    QStringList getDns() const;

    bool operator==(const DnsListEntry &other) const;
    bool operator!=(const DnsListEntry &other) const { return !(*this == other); }

private:
    QString m_name;
    QHostAddress m_dns1;
    QHostAddress m_dns2;
    bool m_editable = true;
};

Q_DECLARE_METATYPE(DnsListEntry)
