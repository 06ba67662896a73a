#pragma once
#include "helper/ProgramCommand.h"

namespace stelvane {

// Switches a network service on or off; the state is already "on" or "off".
class InterfaceCommand : public ProgramCommand
{
public:
    InterfaceCommand(std::string serviceName, std::string state);

    std::string program() const override;
    std::list<std::string> arguments() const override;

private:
    std::string m_serviceName;
    std::string m_state;
};

} // namespace stelvane
