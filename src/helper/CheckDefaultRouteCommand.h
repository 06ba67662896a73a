#pragma once
#include "helper/ProgramCommand.h"

namespace stelvane {

// Shows the default route.
class CheckDefaultRouteCommand : public ProgramCommand
{
public:
    CheckDefaultRouteCommand();

    std::string program() const override;
    std::list<std::string> arguments() const override;
};

} // namespace stelvane
