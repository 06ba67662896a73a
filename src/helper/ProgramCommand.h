#pragma once
#include "helper/AbstractExecCommand.h"

#include <list>
#include <string>

namespace stelvane {

// A command that runs one platform program (PlatformPrograms) with one
// argument list.
class ProgramCommand : public AbstractExecCommand
{
public:
    int execute() override;

    virtual std::string program() const = 0;
    virtual std::list<std::string> arguments() const = 0;
};

} // namespace stelvane
