#include "helper/ExceptionCommand.h"

#include <iostream>

namespace stelvane {

ExceptionCommand::ExceptionCommand(std::string command, std::list<std::string> arguments, std::string message)
    : m_command(std::move(command))
    , m_arguments(std::move(arguments))
    , m_message(std::move(message))
{
}

std::string ExceptionCommand::report() const
{
    std::string text = "Failure creating command '" + m_command + "'";
    if (!m_arguments.empty()) {
        text += " with arguments:";
        for (const std::string &argument : m_arguments)
            text += " " + argument;
    }
    return text + ", error message: " + m_message + "\n";
}

int ExceptionCommand::execute()
{
    std::cerr << report() << std::flush;
    return -1;
}

} // namespace stelvane
