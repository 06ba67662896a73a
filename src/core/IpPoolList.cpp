#include "core/IpPoolList.h"

IpPoolList::IpPoolList()
    : IpPoolInterface(POOL_LIST)
{
}

bool IpPoolList::hasValidIp() const
{
    for (const QSharedPointer<IpPoolInterface> &pool : m_pools) {
        if (pool->hasValidIp())
            return true;
    }
    return false;
}

QHostAddress IpPoolList::getIp() const
{
    for (const QSharedPointer<IpPoolInterface> &pool : m_pools) {
        if (pool->hasValidIp())
            return pool->getIp();
    }
    return QHostAddress();
}

void IpPoolList::shuffleIps()
{
    shuffleMembers();
}

QString IpPoolList::toString() const
{
    QString text = QStringLiteral("List Starting\n");
    for (int i = 0; i < m_pools.size(); ++i)
        text += QStringLiteral("List %1 : \n").arg(i) + m_pools.at(i)->toString();
    return text + QStringLiteral("List Complete\n");
}

void IpPoolList::append(QSharedPointer<IpPoolInterface> pool)
{
    m_pools.append(std::move(pool));
}

void IpPoolList::prepend(QSharedPointer<IpPoolInterface> pool)
{
    m_pools.prepend(std::move(pool));
}

void IpPoolList::clear()
{
    m_pools.clear();
}

QList<QSharedPointer<IpPoolInterface>> IpPoolList::getPools() const
{
    return m_pools;
}

void IpPoolList::shuffleMembers()
{
    for (const QSharedPointer<IpPoolInterface> &pool : m_pools)
        pool->shuffleIps();
}

void IpPoolList::randomiseMemberOrder()
{
    for (int k = 0; k + 1 < m_pools.size(); ++k)
        m_pools.swapItemsAt(k, k + randomIndex(m_pools.size() - k));
}
