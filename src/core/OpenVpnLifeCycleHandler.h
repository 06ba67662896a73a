#pragma once
#include <QString>

class AbstractVpnCommand;
class ByteCount;
class ConnectionFailure;
class Hold;
class OpenVpnGenericState;
class PushedOptions;
class QProcess;
class Remote;

// Everything that reacts to the VPN engine's life implements this interface.
// The engine drivers know exactly one handler: the backend's HandlerList.
class OpenVpnLifeCycleHandler
{
public:
    virtual ~OpenVpnLifeCycleHandler() = default;

    // Handlers add their options before the command line goes to the helper.
    virtual void onOpenVpnPrepareArguments(AbstractVpnCommand &command) = 0;
    virtual void onOpenVpnStarted(QProcess &process) = 0;
    virtual void onOpenVpnFailedToStart() = 0;
    // Once, when the engine has ended and the management connection is closed.
    virtual void onOpenVpnTerminated() = 0;
    virtual void onConnectionAccepted() = 0;
    // A handler may take a lock on the hold to delay the engine.
    virtual void onHold(Hold &hold) = 0;
    virtual void onState(const OpenVpnGenericState &state) = 0;
    // passwordFailures: failed verifications so far in this management connection.
    virtual void onPassword(int passwordFailures) = 0;
    virtual void onByteCount(const ByteCount &byteCount) = 0;
    virtual void onFatal(const QString &message) = 0;
    // The engine told why the current attempt is failing; the attempt's
    // RECONNECTING state (if any) follows.
    virtual void onFailure(const ConnectionFailure &failure) = 0;
    virtual void onConnectionClosed() = 0;
    // A handler may change host and port, or take a lock on the remote.
    virtual void onRemote(Remote &remote) = 0;
    virtual void onUp(const PushedOptions &options) = 0;
    virtual void onDown(const PushedOptions &options) = 0;
    virtual void onControlChannel(const QString &tlsVersion, const QString &cipher) = 0;
};
