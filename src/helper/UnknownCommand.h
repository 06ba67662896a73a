#pragma once
#include "helper/Command.h"

#include <list>
#include <string>

namespace stelvane {

class UnknownCommand : public Command
{
public:
    UnknownCommand(std::string command, std::list<std::string> arguments);
    int execute() override;

    // The text written to standard error.
    std::string report() const;

private:
    std::string m_command;
    std::list<std::string> m_arguments;
};

} // namespace stelvane
