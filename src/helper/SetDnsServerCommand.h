#pragma once
#include "helper/ProgramCommand.h"

namespace stelvane {

// Sets the name servers of a network service ("empty" alone clears them).
class SetDnsServerCommand : public ProgramCommand
{
public:
    SetDnsServerCommand(std::string serviceName, std::list<std::string> servers);

    std::string program() const override;
    std::list<std::string> arguments() const override;

private:
    std::string m_serviceName;
    std::list<std::string> m_servers;
};

} // namespace stelvane
