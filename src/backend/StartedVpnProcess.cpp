#include "backend/StartedVpnProcess.h"

#include "core/VpnFrontend.h"
#include "openvpn/AbstractManagementSocket.h"
#include "system/BlackHoleRoute.h"

StartedVpnProcess::StartedVpnProcess(VpnStartupResult result, AbstractManagementSocket &socket,
                                     QSharedPointer<BlackHoleRoute> blackHoleRoute)
    : m_result(std::move(result))
    , m_socket(socket)
    , m_blackHoleRoute(std::move(blackHoleRoute))
{
}

bool StartedVpnProcess::isStopped()
{
    return !m_socket.isProcessRunning();
}

void StartedVpnProcess::sendResultTo(VpnFrontend &frontend)
{
    frontend.onVpnStartupResult(m_result);
}

void StartedVpnProcess::sendUpdatedStateTo(VpnFrontend &frontend, VpnConnectionState &state)
{
    frontend.onUpdateState(state);
}

void StartedVpnProcess::sendUserNamePassword(const QString &userName, const QString &password)
{
    m_socket.sendUsernamePassword(userName, password);
}

void StartedVpnProcess::stop()
{
    m_socket.sendSigTerm();
}
