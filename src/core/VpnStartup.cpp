#include "core/VpnStartup.h"

VpnStartup::VpnStartup(QSharedPointer<ConnectionParameters> parameters)
    : m_parameters(std::move(parameters))
{
}

VpnStartup::~VpnStartup() = default;

void VpnStartup::onStartVPNAborted()
{
    m_abortRequested = true;
}

void VpnStartup::onCurrentOperationSkipped()
{
    m_skipRequested = true;
}
