#pragma once
#include "helper/ProgramCommand.h"

namespace stelvane {

// Brings an interface up.
class SetInterfaceUp : public ProgramCommand
{
public:
    explicit SetInterfaceUp(std::string interfaceName);

    std::string program() const override;
    std::list<std::string> arguments() const override;

private:
    std::string m_interfaceName;
};

} // namespace stelvane
