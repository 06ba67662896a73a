#pragma once

#include "backend/NullHandler.h"

class LifeCycleClient;

// Keeps the version client with the connection's handlers; reacts to nothing.
class LifeCycleClientHandler : public NullHandler
{
public:
    explicit LifeCycleClientHandler(LifeCycleClient& lifeCycleClient)
        : lifeCycleClient(lifeCycleClient)
    {
    }

    LifeCycleClient& getLifeCycleClient() const { return lifeCycleClient; }

private:
    LifeCycleClient& lifeCycleClient;
};
