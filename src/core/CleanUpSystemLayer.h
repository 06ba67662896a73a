#pragma once

#include <QStringList>

// The system-layer steps of the clean-up run: each undoes one kind of change
// that a run ending without its own shutdown may have left on the system.
class CleanUpSystemLayer
{
public:
    virtual ~CleanUpSystemLayer() = default;

    // Restores the name servers saved at each recorded DNS stage, top first,
    // and stores the emptied stage list.
    virtual void recoverDnsStack(const QStringList &stageNames) = 0;
    virtual void removeRoutesToDns() = 0;
    virtual void cleanUpBlackHoleRoutes() = 0;
    // Re-enables the network services that the internet kill switch disabled.
    virtual void enableKillSwitchInterfaces() = 0;
};
