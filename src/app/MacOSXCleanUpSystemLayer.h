#pragma once

#include "backend/VpnFrontendDispatcher.h"
#include "core/CleanUpSystemLayer.h"
#include "system/BlackHoleRouteManager.h"
#include "system/DnsStack.h"
#include "system/MacOSXAbstractionImpl.h"

// The clean-up run's steps over the real system layer: the DNS stack restores
// the saved name servers, the black-hole manager removes both route sets, the
// kill-switch manager re-enables the recorded services.
class MacOSXCleanUpSystemLayer : public CleanUpSystemLayer
{
public:
    MacOSXCleanUpSystemLayer();

    void recoverDnsStack(const QStringList &stageNames) override;
    void removeRoutesToDns() override;
    void cleanUpBlackHoleRoutes() override;
    void enableKillSwitchInterfaces() override;

private:
    MacOSXAbstractionImpl m_osAbstraction;
    // Nobody watches the clean-up run's progress.
    VpnFrontendDispatcher m_frontend;
    DnsStack m_dnsStack;
    BlackHoleRouteManager m_blackHoleRouteManager;
};
