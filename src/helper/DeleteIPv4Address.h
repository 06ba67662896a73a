#pragma once
#include "helper/ProgramCommand.h"

namespace stelvane {

// Removes an IPv4 address from an interface.
class DeleteIPv4Address : public ProgramCommand
{
public:
    DeleteIPv4Address(std::string interfaceName, std::string address);

    std::string program() const override;
    std::list<std::string> arguments() const override;

private:
    std::string m_interfaceName;
    std::string m_address;
};

} // namespace stelvane
