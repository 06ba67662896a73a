#include "helper/InterfaceCommand.h"

#include "helper/PlatformPrograms.h"

namespace stelvane {

InterfaceCommand::InterfaceCommand(std::string serviceName, std::string state)
    : m_serviceName(std::move(serviceName))
    , m_state(std::move(state))
{
}

std::string InterfaceCommand::program() const
{
    return PlatformPrograms::NETWORKSETUP;
}

std::list<std::string> InterfaceCommand::arguments() const
{
    return {"-setnetworkserviceenabled", m_serviceName, m_state};
}

} // namespace stelvane
