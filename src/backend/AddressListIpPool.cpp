#include "backend/AddressListIpPool.h"

#include <QDebug>

AddressListIpPool::AddressListIpPool(qint32 type, const QString& logName)
    : IpPoolInterface(type)
    , logName(logName)
{
}

bool AddressListIpPool::hasValidIp() const
{
    return !addresses.isEmpty() && isValidIpAddress(getIp());
}

QHostAddress AddressListIpPool::getIp() const
{
    qDebug().noquote() << logName + QStringLiteral(": get Ip");
    if (addresses.isEmpty()) {
        qDebug().noquote() << logName + QStringLiteral(" Warning: IpPool list is empty");
        return QHostAddress();
    }
    // A re-resolution may shorten the list under the current index; value()
    // then answers a null address rather than reading past the end.
    return addresses.value(currentIndex);
}

QString AddressListIpPool::toString() const
{
    QString text = QStringLiteral("Type: ") + typeToString(getType()) + QLatin1Char('\n');
    for (int i = 0; i < addresses.size(); ++i)
        text += QStringLiteral("Ip %1 : %2\n").arg(i).arg(addresses.at(i).toString());
    if (!addresses.isEmpty())
        text += QStringLiteral("First Ip %1 at position %2\n").arg(addresses.value(currentIndex).toString()).arg(currentIndex);
    return text;
}

QList<QHostAddress> AddressListIpPool::getAddresses() const
{
    return addresses;
}

int AddressListIpPool::getCurrentIndex() const
{
    return currentIndex;
}

void AddressListIpPool::setAddresses(const QList<QHostAddress>& candidates, const char* rejectedLine)
{
    addresses.clear();
    for (const QHostAddress& address : candidates) {
        if (isValidIpAddress(address))
            addresses.append(address);
        else
            qDebug() << rejectedLine;
    }
}

void AddressListIpPool::pickRandomIndex()
{
    if (!addresses.isEmpty())
        currentIndex = randomIndex(addresses.size());
}
