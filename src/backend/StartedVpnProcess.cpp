#include "backend/StartedVpnProcess.h"

#include "backend/VpnFrontend.h"
#include "openvpn/AbstractManagementSocket.h"
#include "system/BlackHoleRoute.h"

StartedVpnProcess::StartedVpnProcess(VpnStartupResult result, AbstractManagementSocket& socket,
                                     QSharedPointer<BlackHoleRoute> blackHoleRoute)
    : result(std::move(result))
    , socket(socket)
    , blackHoleRoute(std::move(blackHoleRoute))
{
}

bool StartedVpnProcess::isStopped()
{
    return !socket.isProcessRunning();
}

void StartedVpnProcess::sendResultTo(VpnFrontend& frontend)
{
    frontend.onVpnStartupResult(result);
}

void StartedVpnProcess::sendUpdatedStateTo(VpnFrontend& frontend, VpnConnectionState& state)
{
    frontend.onUpdateState(state);
}

void StartedVpnProcess::sendUserNamePassword(const QString& userName, const QString& password)
{
    socket.sendUsernamePassword(userName, password);
}

void StartedVpnProcess::stop()
{
    socket.sendSigTerm();
}
