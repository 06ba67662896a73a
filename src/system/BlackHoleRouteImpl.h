#pragma once

#include "core/VpnStartupProgress.h"
#include "system/BlackHoleRoute.h"

#include <QSharedPointer>
#include <QString>

class ConnectionParameters;
class OsAbstraction;
class VpnFrontend;

// The IPv4 set sends both halves of the IPv4 space into a black hole, the IPv6
// set makes both halves of the IPv6 space unreachable; each only when asked
// for. Every change is reported to the frontend as start-up progress.
class BlackHoleRouteImpl : public BlackHoleRoute
{
public:
    BlackHoleRouteImpl(VpnFrontend &frontend, QSharedPointer<ConnectionParameters> connectionParameters,
                       OsAbstraction &osAbstraction, bool ipv4, bool ipv6);
    ~BlackHoleRouteImpl() override;

    BlackHoleRouteImpl(const BlackHoleRouteImpl &) = delete;
    BlackHoleRouteImpl &operator=(const BlackHoleRouteImpl &) = delete;

    bool isActive() const override { return true; }
    bool hasIpv4() const { return m_ipv4; }
    bool hasIpv6() const { return m_ipv6; }

private:
    void progress(const QString &key, VpnStartupProgress::ProgressState state);
    template<typename Change>
    void changeWithProgress(const QString &ipv4Key, const QString &ipv6Key, Change change);

    OsAbstraction &m_osAbstraction;
    QSharedPointer<ConnectionParameters> m_connectionParameters;
    bool m_ipv4;
    bool m_ipv6;
    VpnFrontend &m_frontend;
};
