#pragma once
#include "helper/Command.h"

#include <functional>
#include <list>
#include <memory>
#include <optional>
#include <string>

namespace stelvane {

// Turns the helper's command line (command word, then positional arguments)
// into exactly one command. A bad line becomes a command that reports it.
class CommandFactory
{
public:
    // The engine commands read the run's secret from standard input.
    CommandFactory(int argc, char **argv);
    // The same with the line that standard input would hold after the
    // authentication lines.
    CommandFactory(std::string command, std::list<std::string> arguments, std::string engineSecretLine = {});

    std::unique_ptr<Command> createCommand();

    std::string requireArg(const std::string &name);
    int requireIntArg(const std::string &name);
    bool requireBoolArg(const std::string &name);
    std::list<std::string> requireListArg(const std::string &name);
    std::list<std::string> requireSizeListArg(const std::string &name);

private:
    std::unique_ptr<Command> buildCommand();
    // requireArg, refused with IllegalArgumentException unless `valid`.
    std::string requireValidArg(const std::string &name, const std::function<bool(const std::string &)> &valid);
    std::string requireInterfaceName(const std::string &name);
    std::string requireServiceName(const std::string &name);
    std::string requireIPv4Address(const std::string &name);
    std::string requireIPv6Address(const std::string &name);
    // The client's secret for the engine it starts: the line after the
    // authentication lines on standard input (never an argument, which every
    // user can read).
    std::string requireEngineSecret();

    std::string m_command;
    std::list<std::string> m_arguments;
    std::list<std::string>::const_iterator m_cursor;
    std::optional<std::string> m_engineSecretLine;
};

} // namespace stelvane
