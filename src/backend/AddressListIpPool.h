#pragma once
#include "core/IpPoolInterface.h"

#include <QList>

// The common part of the pools that hold a list of addresses and a current
// index into it (the static and the DNS-table pools).
class AddressListIpPool : public IpPoolInterface
{
public:
    bool hasValidIp() const override;
    QHostAddress getIp() const override;
    QString toString() const override;

    QList<QHostAddress> getAddresses() const;
    int getCurrentIndex() const;

protected:
    // logName prefixes the debug lines ("StaticIpPool", "DnsJsonIpPool").
    AddressListIpPool(qint32 type, const QString &logName);

    // Keeps the valid addresses only; each rejected one is logged with rejectedLine.
    void setAddresses(const QList<QHostAddress> &candidates, const char *rejectedLine);
    void pickRandomIndex();

private:
    QString m_logName;
    QList<QHostAddress> m_addresses;
    int m_currentIndex = 0;
};
