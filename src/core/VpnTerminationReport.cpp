#include "core/VpnTerminationReport.h"

VpnTerminationReport::VpnTerminationReport(QSharedPointer<ConnectionParameters> parameters)
    : VpnTerminationReport(std::move(parameters), false, false)
{
}

VpnTerminationReport::VpnTerminationReport(QSharedPointer<ConnectionParameters> parameters, bool failedToStart,
                                           bool passwordRequest)
    : EventMessage(std::move(parameters))
    , m_failedToStart(failedToStart)
    , m_passwordRequest(passwordRequest)
{
}

bool VpnTerminationReport::getFailedToStartFlag() const
{
    return m_failedToStart;
}

bool VpnTerminationReport::getPasswordRequestFlag() const
{
    return m_passwordRequest;
}

VpnTerminationReport VpnTerminationReport::withFailedToStartFlag() const
{
    return VpnTerminationReport(getConnectionParameters(), true, m_passwordRequest);
}

VpnTerminationReport VpnTerminationReport::withPasswordRequestFlag() const
{
    return VpnTerminationReport(getConnectionParameters(), m_failedToStart, true);
}
