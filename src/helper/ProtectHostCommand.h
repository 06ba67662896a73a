#pragma once
#include "helper/ProgramCommand.h"

namespace stelvane {

// Keeps one host (the VPN server) reachable through the old gateway.
class ProtectHostCommand : public ProgramCommand
{
public:
    ProtectHostCommand(std::string host, std::string gateway);

    int execute() override;
    std::string program() const override;
    std::list<std::string> arguments() const override;

private:
    std::string m_host;
    std::string m_gateway;
};

} // namespace stelvane
