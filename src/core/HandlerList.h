#pragma once
#include "core/OpenVpnLifeCycleHandler.h"

#include <QList>
#include <QSharedPointer>

// Passes every engine event to each handler in list order. Each call works on
// a copy of the list, so handlers may change the list while being called:
// one appended now is first called by the next event, one removed now still
// gets this event and stays alive until the call ends.
class HandlerList : public OpenVpnLifeCycleHandler
{
public:
    void onOpenVpnPrepareArguments(AbstractVpnCommand &command) override;
    void onOpenVpnStarted(QProcess &process) override;
    void onOpenVpnFailedToStart() override;
    void onOpenVpnTerminated() override;
    void onConnectionAccepted() override;
    void onHold(Hold &hold) override;
    void onState(const OpenVpnGenericState &state) override;
    void onPassword(int passwordFailures) override;
    void onByteCount(const ByteCount &byteCount) override;
    void onFatal(const QString &message) override;
    void onFailure(const ConnectionFailure &failure) override;
    void onConnectionClosed() override;
    void onRemote(Remote &remote) override;
    void onUp(const PushedOptions &options) override;
    void onDown(const PushedOptions &options) override;
    void onControlChannel(const QString &tlsVersion, const QString &cipher) override;

    // Filled and cleared directly by its owners (start-up, parameters, system layer).
    QList<QSharedPointer<OpenVpnLifeCycleHandler>> list;

private:
    template<typename Call>
    void forEach(Call call) const;
};
