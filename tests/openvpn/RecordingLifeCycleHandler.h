#pragma once
#include "core/ByteCount.h"
#include "core/ConnectionFailure.h"
#include "core/NullHandler.h"
#include "core/OpenVpnGenericState.h"
#include "openvpn/Hold.h"
#include "openvpn/HoldLock.h"
#include "openvpn/PushedOptions.h"
#include "openvpn/Remote.h"

#include <QList>
#include <QStringList>
#include <algorithm>
#include <functional>

// Records every engine event as one line of text; tests hook actions into
// the events that hand out a hold, a remote or a password request.
class RecordingLifeCycleHandler : public NullHandler
{
public:
    void onOpenVpnPrepareArguments(AbstractVpnCommand &command) override
    {
        events << "prepare";
        if (onPrepare)
            onPrepare(command);
    }
    void onOpenVpnStarted(QProcess &) override { events << "started"; }
    void onOpenVpnFailedToStart() override { events << "failedToStart"; }
    void onOpenVpnTerminated() override { events << "terminated"; }
    void onConnectionAccepted() override { events << "accepted"; }
    void onHold(Hold &hold) override
    {
        events << QStringLiteral("hold %1").arg(hold.getNumber());
        if (holdAction)
            holdAction(hold);
    }
    void onState(const OpenVpnGenericState &state) override
    {
        states << state;
        events << QStringLiteral("state %1").arg(state.name);
    }
    void onPassword(int failures) override
    {
        events << QStringLiteral("password %1").arg(failures);
        if (passwordAction)
            passwordAction();
    }
    void onByteCount(const ByteCount &count) override
    {
        events << QStringLiteral("bytecount %1 %2").arg(count.getBytesReceived()).arg(count.getBytesSent());
    }
    void onFatal(const QString &message) override { events << QStringLiteral("fatal %1").arg(message); }
    void onFailure(const ConnectionFailure &failure) override
    {
        events << QStringLiteral("failure %1|%2|%3").arg(failure.cause(), failure.where(), failure.serverText());
    }
    void onConnectionClosed() override { events << "closed"; }
    void onRemote(Remote &remote) override
    {
        events
            << QStringLiteral("remote %1 %2 %3").arg(remote.getHost()).arg(remote.getPort()).arg(remote.getProtocol());
        if (remoteAction)
            remoteAction(remote);
    }
    void onUp(const PushedOptions &options) override
    {
        events << "up";
        upDownOptions << options;
    }
    void onDown(const PushedOptions &options) override
    {
        events << "down";
        upDownOptions << options;
    }
    void onControlChannel(const QString &tlsVersion, const QString &cipher) override
    {
        events << QStringLiteral("control %1 %2").arg(tlsVersion, cipher);
    }

    bool reached(OpenVpnState state) const
    {
        return std::any_of(states.begin(), states.end(),
                           [state](const OpenVpnGenericState &seen) { return seen.state == state; });
    }

    QStringList events;
    QList<OpenVpnGenericState> states;
    QList<PushedOptions> upDownOptions;
    std::function<void(AbstractVpnCommand &)> onPrepare;
    std::function<void(Hold &)> holdAction;
    std::function<void(Remote &)> remoteAction;
    std::function<void()> passwordAction;
};
