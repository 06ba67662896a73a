#include "helper/SetDnsServerCommand.h"

#include "helper/PlatformPrograms.h"

namespace stelvane {

SetDnsServerCommand::SetDnsServerCommand(std::string serviceName, std::list<std::string> servers)
    : m_serviceName(std::move(serviceName))
    , m_servers(std::move(servers))
{
}

std::string SetDnsServerCommand::program() const
{
    return PlatformPrograms::NETWORKSETUP;
}

std::list<std::string> SetDnsServerCommand::arguments() const
{
    std::list<std::string> arguments = {"setdnsservers", m_serviceName};
    arguments.insert(arguments.end(), m_servers.begin(), m_servers.end());
    return arguments;
}

} // namespace stelvane
