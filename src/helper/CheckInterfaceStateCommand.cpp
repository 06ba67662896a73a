#include "helper/CheckInterfaceStateCommand.h"

#include "helper/PlatformPrograms.h"

namespace stelvane {

CheckInterfaceStateCommand::CheckInterfaceStateCommand(std::string serviceName)
    : m_serviceName(std::move(serviceName))
{
}

std::string CheckInterfaceStateCommand::program() const
{
    return PlatformPrograms::NETWORKSETUP;
}

std::list<std::string> CheckInterfaceStateCommand::arguments() const
{
    return {"-getnetworkserviceenabled", m_serviceName};
}

} // namespace stelvane
