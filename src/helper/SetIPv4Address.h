#pragma once
#include "helper/ProgramCommand.h"

namespace stelvane {

// Gives a (tunnel) interface its IPv4 address and peer.
class SetIPv4Address : public ProgramCommand
{
public:
    SetIPv4Address(std::string interfaceName, std::string address, std::string mask, std::string gateway);

    std::string program() const override;
    std::list<std::string> arguments() const override;

private:
    std::string m_interfaceName;
    std::string m_address;
    std::string m_mask;
    std::string m_gateway;
};

} // namespace stelvane
