#pragma once
// Two questions the user interface asks of the run mode.
class BackendStateTracker
{
public:
    virtual ~BackendStateTracker() = default;

    // Whether the global black-hole routes are active.
    virtual bool isNetworkGloballyProtected() = 0;
    virtual bool isVPNRunning() = 0;
};
