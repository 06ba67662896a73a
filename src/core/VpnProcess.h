#pragma once
#include <QString>

class VpnConnectionState;
class VpnFrontend;

// The engine's situation (none, starting, started, aborted). Everything the
// user can do to a connection goes through the current object, which answers
// in its own way; requests that make no sense in a situation are ignored.
class VpnProcess
{
public:
    virtual ~VpnProcess() = default;

    // Whether a new start may begin.
    virtual bool isStopped() = 0;
    virtual void sendResultTo(VpnFrontend &frontend) = 0;
    virtual void sendUpdatedStateTo(VpnFrontend &frontend, VpnConnectionState &state) = 0;
    virtual void sendUserNamePassword(const QString &userName, const QString &password) = 0;
    virtual void stop() = 0;
};
