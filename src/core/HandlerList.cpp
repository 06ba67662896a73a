#include "core/HandlerList.h"

template<typename Call>
void HandlerList::forEach(Call call) const
{
    const QList<QSharedPointer<OpenVpnLifeCycleHandler>> handlers = list;
    for (const QSharedPointer<OpenVpnLifeCycleHandler> &handler : handlers)
        call(*handler);
}

void HandlerList::onOpenVpnPrepareArguments(AbstractVpnCommand &command)
{
    forEach([&](OpenVpnLifeCycleHandler &h) { h.onOpenVpnPrepareArguments(command); });
}

void HandlerList::onOpenVpnStarted(QProcess &process)
{
    forEach([&](OpenVpnLifeCycleHandler &h) { h.onOpenVpnStarted(process); });
}

void HandlerList::onOpenVpnFailedToStart()
{
    forEach([](OpenVpnLifeCycleHandler &h) { h.onOpenVpnFailedToStart(); });
}

void HandlerList::onOpenVpnTerminated()
{
    forEach([](OpenVpnLifeCycleHandler &h) { h.onOpenVpnTerminated(); });
}

void HandlerList::onConnectionAccepted()
{
    forEach([](OpenVpnLifeCycleHandler &h) { h.onConnectionAccepted(); });
}

void HandlerList::onHold(Hold &hold)
{
    forEach([&](OpenVpnLifeCycleHandler &h) { h.onHold(hold); });
}

void HandlerList::onState(const OpenVpnGenericState &state)
{
    forEach([&](OpenVpnLifeCycleHandler &h) { h.onState(state); });
}

void HandlerList::onPassword(int passwordFailures)
{
    forEach([&](OpenVpnLifeCycleHandler &h) { h.onPassword(passwordFailures); });
}

void HandlerList::onByteCount(const ByteCount &byteCount)
{
    forEach([&](OpenVpnLifeCycleHandler &h) { h.onByteCount(byteCount); });
}

void HandlerList::onFatal(const QString &message)
{
    forEach([&](OpenVpnLifeCycleHandler &h) { h.onFatal(message); });
}

void HandlerList::onConnectionClosed()
{
    forEach([](OpenVpnLifeCycleHandler &h) { h.onConnectionClosed(); });
}

void HandlerList::onRemote(Remote &remote)
{
    forEach([&](OpenVpnLifeCycleHandler &h) { h.onRemote(remote); });
}

void HandlerList::onUp(const PushedOptions &options)
{
    forEach([&](OpenVpnLifeCycleHandler &h) { h.onUp(options); });
}

void HandlerList::onDown(const PushedOptions &options)
{
    forEach([&](OpenVpnLifeCycleHandler &h) { h.onDown(options); });
}

void HandlerList::onControlChannel(const QString &tlsVersion, const QString &cipher)
{
    forEach([&](OpenVpnLifeCycleHandler &h) { h.onControlChannel(tlsVersion, cipher); });
}

void HandlerList::onFailure(const ConnectionFailure &failure)
{
    forEach([&](OpenVpnLifeCycleHandler &h) { h.onFailure(failure); });
}
