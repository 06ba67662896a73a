#pragma once

#include "core/NullHandler.h"

class LifeCycleClient;

// Keeps the version client with the connection's handlers; reacts to nothing.
class LifeCycleClientHandler : public NullHandler
{
public:
    explicit LifeCycleClientHandler(LifeCycleClient &lifeCycleClient)
        : m_lifeCycleClient(lifeCycleClient)
    {
    }

    LifeCycleClient &getLifeCycleClient() const { return m_lifeCycleClient; }

private:
    LifeCycleClient &m_lifeCycleClient;
};
