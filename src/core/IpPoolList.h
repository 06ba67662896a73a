#pragma once
#include "core/IpPoolInterface.h"

#include <QList>
#include <QSharedPointer>

// Pools in priority order; itself a pool that answers with the first member
// that has a valid address.
class IpPoolList : public IpPoolInterface
{
public:
    IpPoolList();

    bool hasValidIp() const override;
    QHostAddress getIp() const override;
    // Shuffles every member; the member order stays.
    void shuffleIps() override;
    QString toString() const override;

    void append(QSharedPointer<IpPoolInterface> pool);
    void prepend(QSharedPointer<IpPoolInterface> pool);
    void clear();
    QList<QSharedPointer<IpPoolInterface>> getPools() const;

protected:
    void shuffleMembers();
    void randomiseMemberOrder();

private:
    QList<QSharedPointer<IpPoolInterface>> m_pools;
};
