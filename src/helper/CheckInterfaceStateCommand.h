#pragma once
#include "helper/ProgramCommand.h"

namespace stelvane {

// Asks whether a network service is enabled.
class CheckInterfaceStateCommand : public ProgramCommand
{
public:
    explicit CheckInterfaceStateCommand(std::string serviceName);

    std::string program() const override;
    std::list<std::string> arguments() const override;

private:
    std::string m_serviceName;
};

} // namespace stelvane
