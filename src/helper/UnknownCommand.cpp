#include "helper/UnknownCommand.h"

#include <iostream>

namespace stelvane {

UnknownCommand::UnknownCommand(std::string command, std::list<std::string> arguments)
    : m_command(std::move(command))
    , m_arguments(std::move(arguments))
{
}

std::string UnknownCommand::report() const
{
    std::string text = "Unknown command '" + m_command + "' with arguments:";
    for (const std::string &argument : m_arguments)
        text += " " + argument;
    return text;
}

int UnknownCommand::execute()
{
    std::cerr << report() << std::flush;
    return -1;
}

} // namespace stelvane
