#include "backend/VpnFrontendDispatcher.h"

#include "backend/BackendLogging.h"

#include <QDebug>

template<typename Call>
void VpnFrontendDispatcher::forward(Call call) const
{
    // A copy: frontends may attach or detach others while handling the call.
    const QList<QSharedPointer<VpnFrontend>> receivers = m_frontends;
    for (const QSharedPointer<VpnFrontend> &frontend : receivers)
        call(*frontend);
}

void VpnFrontendDispatcher::onVpnStartupProgress(const VpnStartupProgress &progress)
{
    if (progress.isInitialState())
        clearStoredMessages();
    m_startupProgressMessages.append(QSharedPointer<EventMessage>(new VpnStartupProgress(progress)));
    forward([&](VpnFrontend &f) { f.onVpnStartupProgress(progress); });
}

void VpnFrontendDispatcher::onVpnStartupResult(const VpnStartupResult &result)
{
    if (result.getType() == VpnStartupResult::STARTED)
        setLastStatus(QSharedPointer<EventMessage>(new VpnStartupResult(result)));
    else
        clearStoredMessages();
    forward([&](VpnFrontend &f) { f.onVpnStartupResult(result); });
}

void VpnFrontendDispatcher::onUpdateState(const VpnConnectionState &state)
{
    setLastStatus(QSharedPointer<EventMessage>(new VpnConnectionState(state)));
    forward([&](VpnFrontend &f) { f.onUpdateState(state); });
}

void VpnFrontendDispatcher::onReceiveErrorMessage(const ErrorMessage &message)
{
    forward([&](VpnFrontend &f) { f.onReceiveErrorMessage(message); });
}

void VpnFrontendDispatcher::onReceiveFatalErrorMessage(const ErrorMessage &message)
{
    forward([&](VpnFrontend &f) { f.onReceiveFatalErrorMessage(message); });
}

void VpnFrontendDispatcher::vpnTerminated(VpnTerminationReport report)
{
    clearStoredMessages();
    forward([&](VpnFrontend &f) { f.vpnTerminated(report); });
}

void VpnFrontendDispatcher::onEventClosed(quint64 eventId)
{
    forward([&](VpnFrontend &f) { f.onEventClosed(eventId); });
}

void VpnFrontendDispatcher::vpnPasswordRequest(const PasswordRequestMessage &request)
{
    setLastStatus(QSharedPointer<EventMessage>(new PasswordRequestMessage(request)));
    forward([&](VpnFrontend &f) { f.vpnPasswordRequest(request); });
}

void VpnFrontendDispatcher::onUpdateByteCount(ByteCount byteCount)
{
    forward([&](VpnFrontend &f) { f.onUpdateByteCount(byteCount); });
}

void VpnFrontendDispatcher::onConnected()
{
    forward([](VpnFrontend &f) { f.onConnected(); });
}

void VpnFrontendDispatcher::onNewConfigWasDownloaded()
{
    forward([](VpnFrontend &f) { f.onNewConfigWasDownloaded(); });
}

void VpnFrontendDispatcher::showFrontend()
{
    forward([](VpnFrontend &f) { f.showFrontend(); });
}

void VpnFrontendDispatcher::hideFrontend()
{
    forward([](VpnFrontend &f) { f.hideFrontend(); });
}

void VpnFrontendDispatcher::toggleVisibility()
{
    forward([](VpnFrontend &f) { f.toggleVisibility(); });
}

void VpnFrontendDispatcher::add(QSharedPointer<VpnFrontend> frontend)
{
    if (frontend.isNull())
        return;
    sendLastMessageToNewFrontend(*frontend);
    m_frontends.append(frontend);
}

void VpnFrontendDispatcher::remove(VpnFrontend *frontend)
{
    for (int i = 0; i < m_frontends.size(); ++i) {
        if (m_frontends.at(i).data() == frontend) {
            m_frontends.removeAt(i);
            return;
        }
    }
    qCDebug(lcBackend) << "VpnFrontendDispatcher Warning: frontend could not be removed.";
}

void VpnFrontendDispatcher::removeAll()
{
    m_frontends.clear();
}

void VpnFrontendDispatcher::sendLastMessageToNewFrontend(VpnFrontend &frontend) const
{
    // Copies, in case the new frontend calls back into the dispatcher.
    const QList<QSharedPointer<EventMessage>> progressHistory = m_startupProgressMessages;
    const QList<QSharedPointer<EventMessage>> lastStatus = m_lastStatusMessage;
    for (const QSharedPointer<EventMessage> &message : progressHistory) {
        if (const auto *progress = dynamic_cast<const VpnStartupProgress *>(message.data()))
            frontend.onVpnStartupProgress(*progress);
        else
            qCDebug(lcBackend) << "Error: a message that is NOT a VpnStartupProgress type is found in "
                                  "startupProgressMessages list";
    }
    for (const QSharedPointer<EventMessage> &message : lastStatus) {
        if (const auto *result = dynamic_cast<const VpnStartupResult *>(message.data()))
            frontend.onVpnStartupResult(*result);
        else if (const auto *state = dynamic_cast<const VpnConnectionState *>(message.data()))
            frontend.onUpdateState(*state);
        else if (const auto *request = dynamic_cast<const PasswordRequestMessage *>(message.data()))
            frontend.vpnPasswordRequest(*request);
        else
            qCDebug(lcBackend) << "Error: a message that is NOT a VpnStartupResult, VpnConnectionState or "
                                  "PasswordRequestMessage type is found in lastStatusMessage list";
    }
}

void VpnFrontendDispatcher::setLastStatus(QSharedPointer<EventMessage> message)
{
    m_lastStatusMessage.clear();
    m_lastStatusMessage.append(std::move(message));
}

void VpnFrontendDispatcher::clearStoredMessages()
{
    m_startupProgressMessages.clear();
    m_lastStatusMessage.clear();
}
