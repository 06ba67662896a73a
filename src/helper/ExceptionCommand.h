#pragma once
#include "helper/Command.h"

#include <list>
#include <string>

namespace stelvane {

// Reports a command line from which no command could be built.
class ExceptionCommand : public Command
{
public:
    ExceptionCommand(std::string command, std::list<std::string> arguments, std::string message);
    int execute() override;

    // The text written to standard error.
    std::string report() const;

private:
    std::string m_command;
    std::list<std::string> m_arguments;
    std::string m_message;
};

} // namespace stelvane
