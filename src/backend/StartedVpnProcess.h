#pragma once
#include "core/VpnProcess.h"
#include "core/VpnStartupResult.h"

#include <QSharedPointer>

class AbstractManagementSocket;
class BlackHoleRoute;

// The engine was started. Requests go to its management socket; the
// connection's black-hole routes live as long as this object holds them.
class StartedVpnProcess : public VpnProcess
{
public:
    StartedVpnProcess(VpnStartupResult result, AbstractManagementSocket &socket,
                      QSharedPointer<BlackHoleRoute> blackHoleRoute);

    // True as soon as the engine process has ended, even before its
    // termination has been reported.
    bool isStopped() override;
    void sendResultTo(VpnFrontend &frontend) override;
    void sendUpdatedStateTo(VpnFrontend &frontend, VpnConnectionState &state) override;
    void sendUserNamePassword(const QString &userName, const QString &password) override;
    void stop() override;

private:
    VpnStartupResult m_result;
    AbstractManagementSocket &m_socket;
    QSharedPointer<BlackHoleRoute> m_blackHoleRoute;
};
