#pragma once
#include "core/IpPoolInterface.h"

// The dedicated address of a dedicated-IP site.
class DedicatedIpPool : public IpPoolInterface
{
public:
    explicit DedicatedIpPool(const QHostAddress &address);

    bool hasValidIp() const override;
    QHostAddress getIp() const override;
    void shuffleIps() override;
    QString toString() const override;

private:
    QHostAddress m_address;
};
