#include "backend/AddressListIpPool.h"

#include "backend/BackendLogging.h"

#include <QDebug>

AddressListIpPool::AddressListIpPool(qint32 type, const QString &logName)
    : IpPoolInterface(type)
    , m_logName(logName)
{
}

bool AddressListIpPool::hasValidIp() const
{
    return !m_addresses.isEmpty() && isValidIpAddress(getIp());
}

QHostAddress AddressListIpPool::getIp() const
{
    qCDebug(lcBackend).noquote() << m_logName + QStringLiteral(": get Ip");
    if (m_addresses.isEmpty()) {
        qCDebug(lcBackend).noquote() << m_logName + QStringLiteral(" Warning: IpPool list is empty");
        return QHostAddress();
    }
    // A re-resolution may shorten the list under the current index; value()
    // then answers a null address rather than reading past the end.
    return m_addresses.value(m_currentIndex);
}

QString AddressListIpPool::toString() const
{
    QString text = QStringLiteral("Type: ") + typeToString(getType()) + QLatin1Char('\n');
    for (int i = 0; i < m_addresses.size(); ++i)
        text += QStringLiteral("Ip %1 : %2\n").arg(i).arg(m_addresses.at(i).toString());
    if (!m_addresses.isEmpty())
        text += QStringLiteral("First Ip %1 at position %2\n")
                    .arg(m_addresses.value(m_currentIndex).toString())
                    .arg(m_currentIndex);
    return text;
}

QList<QHostAddress> AddressListIpPool::getAddresses() const
{
    return m_addresses;
}

int AddressListIpPool::getCurrentIndex() const
{
    return m_currentIndex;
}

void AddressListIpPool::setAddresses(const QList<QHostAddress> &candidates, const char *rejectedLine)
{
    m_addresses.clear();
    for (const QHostAddress &address : candidates) {
        if (isValidIpAddress(address))
            m_addresses.append(address);
        else
            qCDebug(lcBackend) << rejectedLine;
    }
}

void AddressListIpPool::pickRandomIndex()
{
    if (!m_addresses.isEmpty())
        m_currentIndex = randomIndex(m_addresses.size());
}
