#include "backend/ShuffleIpPoolList.h"

void ShuffleIpPoolList::shuffleIps()
{
    randomiseMemberOrder();
    shuffleMembers();
}

QString ShuffleIpPoolList::toString() const
{
    return QStringLiteral("Shuffle ") + IpPoolList::toString();
}
