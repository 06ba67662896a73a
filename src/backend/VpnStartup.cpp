#include "backend/VpnStartup.h"

#include "backend/ConnectionParameters.h"

VpnStartup::VpnStartup(QSharedPointer<ConnectionParameters> parameters)
    : parameters(std::move(parameters))
{
}

VpnStartup::~VpnStartup() = default;

void VpnStartup::onStartVPNAborted()
{
    abortRequested = true;
}

void VpnStartup::onCurrentOperationSkipped()
{
    skipRequested = true;
}
