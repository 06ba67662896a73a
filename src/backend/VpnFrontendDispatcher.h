#pragma once
#include "core/EventMessage.h"
#include "core/VpnFrontend.h"

#include <QList>
#include <QSharedPointer>

#include <algorithm>

// The one frontend the backend reports to. It copies every call to all
// attached frontends, in attach order, and keeps the current start-up's
// progress and the last status so that a frontend attached later shows the
// same picture at once.
class VpnFrontendDispatcher : public VpnFrontend
{
public:
    void onVpnStartupProgress(const VpnStartupProgress &progress) override;
    void onVpnStartupResult(const VpnStartupResult &result) override;
    void onUpdateState(const VpnConnectionState &state) override;
    void onReceiveErrorMessage(const ErrorMessage &message) override;
    void onReceiveFatalErrorMessage(const ErrorMessage &message) override;
    void vpnTerminated(VpnTerminationReport report) override;
    void onEventClosed(quint64 eventId) override;
    void vpnPasswordRequest(const PasswordRequestMessage &request) override;
    void onUpdateByteCount(ByteCount byteCount) override;
    void onConnected() override;
    void onNewConfigWasDownloaded() override;
    void showFrontend() override;
    void hideFrontend() override;
    void toggleVisibility() override;

    // Brings the new frontend up to date first, then attaches it. Null is ignored.
    void add(QSharedPointer<VpnFrontend> frontend);
    void remove(VpnFrontend *frontend);
    // Detaches every frontend; the stored picture stays for the next one.
    void removeAll();

    template<typename T>
    bool containsFrontendOfType() const
    {
        return std::any_of(m_frontends.cbegin(), m_frontends.cend(), &isA<T>);
    }

    // Also true when no frontend is attached.
    template<typename T>
    bool containsOnlyFrontendsOfType() const
    {
        return std::all_of(m_frontends.cbegin(), m_frontends.cend(), &isA<T>);
    }

    template<typename T>
    void detachAllFrontendsOfType()
    {
        m_frontends.erase(std::remove_if(m_frontends.begin(), m_frontends.end(), &isA<T>), m_frontends.end());
    }

private:
    template<typename T>
    static bool isA(const QSharedPointer<VpnFrontend> &frontend)
    {
        return dynamic_cast<const T *>(frontend.data()) != nullptr;
    }

    template<typename Call>
    void forward(Call call) const;
    void sendLastMessageToNewFrontend(VpnFrontend &frontend) const;
    void setLastStatus(QSharedPointer<EventMessage> message);
    void clearStoredMessages();

    QList<QSharedPointer<VpnFrontend>> m_frontends;
    QList<QSharedPointer<EventMessage>> m_startupProgressMessages;
    QList<QSharedPointer<EventMessage>> m_lastStatusMessage;
};
