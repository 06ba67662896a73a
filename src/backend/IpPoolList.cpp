#include "backend/IpPoolList.h"


IpPoolList::IpPoolList()
    : IpPoolInterface(POOL_LIST)
{
}

bool IpPoolList::hasValidIp() const
{
    for (const QSharedPointer<IpPoolInterface>& pool : pools) {
        if (pool->hasValidIp())
            return true;
    }
    return false;
}

QHostAddress IpPoolList::getIp() const
{
    for (const QSharedPointer<IpPoolInterface>& pool : pools) {
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
    for (int i = 0; i < pools.size(); ++i)
        text += QStringLiteral("List %1 : \n").arg(i) + pools.at(i)->toString();
    return text + QStringLiteral("List Complete\n");
}

void IpPoolList::append(QSharedPointer<IpPoolInterface> pool)
{
    pools.append(std::move(pool));
}

void IpPoolList::prepend(QSharedPointer<IpPoolInterface> pool)
{
    pools.prepend(std::move(pool));
}

void IpPoolList::clear()
{
    pools.clear();
}

QList<QSharedPointer<IpPoolInterface>> IpPoolList::getPools() const
{
    return pools;
}

void IpPoolList::shuffleMembers()
{
    for (const QSharedPointer<IpPoolInterface>& pool : pools)
        pool->shuffleIps();
}

void IpPoolList::randomiseMemberOrder()
{
    for (int k = 0; k + 1 < pools.size(); ++k)
        pools.swapItemsAt(k, k + randomIndex(pools.size() - k));
}
