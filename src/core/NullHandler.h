#pragma once
#include "core/OpenVpnLifeCycleHandler.h"

// Ignores every engine event; concrete handlers derive from it and override
// only what they react to.
class NullHandler : public OpenVpnLifeCycleHandler
{
public:
    ~NullHandler() override = default;

    void onOpenVpnPrepareArguments(AbstractVpnCommand &) override {}
    void onOpenVpnStarted(QProcess &) override {}
    void onOpenVpnFailedToStart() override {}
    void onOpenVpnTerminated() override {}
    void onConnectionAccepted() override {}
    void onHold(Hold &) override {}
    void onState(const OpenVpnGenericState &) override {}
    void onPassword(int) override {}
    void onByteCount(const ByteCount &) override {}
    void onFatal(const QString &) override {}
    void onFailure(const ConnectionFailure &) override {}
    void onConnectionClosed() override {}
    void onRemote(Remote &) override {}
    void onUp(const PushedOptions &) override {}
    void onDown(const PushedOptions &) override {}
    void onControlChannel(const QString &, const QString &) override {}
};
