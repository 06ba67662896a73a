#pragma once
#include "core/IpPoolInterface.h"

// The address the user pinned for a site. Nothing is kept: every question
// reads the preferences anew, so a change made while connected counts at the
// next remote query.
class PinnedIpPool : public IpPoolInterface
{
public:
    explicit PinnedIpPool(const QString &siteId);

    bool hasValidIp() const override;
    QHostAddress getIp() const override;
    void shuffleIps() override;
    QString toString() const override;

private:
    QString m_siteId;
};
