#pragma once
#include "helper/ProgramCommand.h"

namespace stelvane {

// Gives an interface an IPv6 address.
class SetIPv6Address : public ProgramCommand
{
public:
    SetIPv6Address(std::string interfaceName, std::string address, int prefixLength);

    std::string program() const override;
    std::list<std::string> arguments() const override;

private:
    std::string m_interfaceName;
    std::string m_address;
    int m_prefixLength;
};

} // namespace stelvane
