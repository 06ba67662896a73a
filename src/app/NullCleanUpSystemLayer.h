#pragma once

#include "app/CleanUpSystemLayer.h"

// Stands where no system layer is available: every step only says it was skipped.
class NullCleanUpSystemLayer : public CleanUpSystemLayer
{
public:
    void recoverDnsStack(const QStringList &stageNames) override;
    void removeRoutesToDns() override;
    void cleanUpBlackHoleRoutes() override;
    void enableKillSwitchInterfaces() override;
};
