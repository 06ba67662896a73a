#include "backend/VpnTerminationReport.h"

VpnTerminationReport::VpnTerminationReport(QSharedPointer<ConnectionParameters> parameters)
    : VpnTerminationReport(std::move(parameters), false, false)
{
}

VpnTerminationReport::VpnTerminationReport(QSharedPointer<ConnectionParameters> parameters, bool failedToStart,
                                           bool passwordRequest)
    : EventMessage(std::move(parameters))
    , failedToStart(failedToStart)
    , passwordRequest(passwordRequest)
{
}

bool VpnTerminationReport::getFailedToStartFlag() const
{
    return failedToStart;
}

bool VpnTerminationReport::getPasswordRequestFlag() const
{
    return passwordRequest;
}

VpnTerminationReport VpnTerminationReport::withFailedToStartFlag() const
{
    return VpnTerminationReport(getConnectionParameters(), true, passwordRequest);
}

VpnTerminationReport VpnTerminationReport::withPasswordRequestFlag() const
{
    return VpnTerminationReport(getConnectionParameters(), failedToStart, true);
}
