#include "backend/AbortedVpnProcess.h"

#include "core/VpnFrontend.h"

AbortedVpnProcess::AbortedVpnProcess(VpnStartupResult result)
    : m_result(std::move(result))
{
}

bool AbortedVpnProcess::isStopped()
{
    return true;
}

void AbortedVpnProcess::sendResultTo(VpnFrontend &frontend)
{
    frontend.onVpnStartupResult(m_result);
}

void AbortedVpnProcess::sendUpdatedStateTo(VpnFrontend &, VpnConnectionState &)
{
}

void AbortedVpnProcess::sendUserNamePassword(const QString &, const QString &)
{
}

void AbortedVpnProcess::stop()
{
}
