#include "helper/ProtectHostCommand.h"

#include "helper/PlatformPrograms.h"

#include <iostream>

namespace stelvane {

ProtectHostCommand::ProtectHostCommand(std::string host, std::string gateway)
    : m_host(std::move(host))
    , m_gateway(std::move(gateway))
{
}

int ProtectHostCommand::execute()
{
    std::cout << "hostroute" << std::endl;
    for (const std::string &argument : arguments())
        std::cerr << argument << '\n';
    std::cerr << std::flush;
    return ProgramCommand::execute();
}

std::string ProtectHostCommand::program() const
{
    return PlatformPrograms::ROUTE;
}

std::list<std::string> ProtectHostCommand::arguments() const
{
    return {"add", m_host + "/32", m_gateway};
}

} // namespace stelvane
