#pragma once

#include <QString>

// What one side of the single-instance protocol says on connecting, on being
// refused and on each message it receives.
class AbstractProtocolMessageHandler
{
public:
    virtual ~AbstractProtocolMessageHandler() = default;

    virtual void makeHandShake() = 0;
    virtual void connectionRefused() = 0;
    virtual void messageHandler(const QString &message) = 0;

    static const QString helloFromClient;
    static const QString helloFromServer;
    static const QString firstInstance;
    static const QString shutdownMultipleInstances;
    static const QString bye;
    static const QString getVisibility;
};
