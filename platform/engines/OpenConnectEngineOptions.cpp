#include "OpenConnectEngineOptions.h"

namespace engines {

namespace {

int parseNumber(const std::string &option, const std::string &text, int minimum, int maximum)
{
    size_t used = 0;
    int value = 0;
    try {
        value = std::stoi(text, &used);
    } catch (const std::exception &) {
        used = 0;
    }
    if (used == 0 || used != text.size() || value < minimum || value > maximum)
        throw std::invalid_argument(option + ": not a number in range: \"" + text + "\"");
    return value;
}

} // namespace

OpenConnectEngineOptions OpenConnectEngineOptions::parse(const std::vector<std::string> &arguments)
{
    if (arguments.empty() || arguments.front().rfind("https://", 0) != 0)
        throw std::invalid_argument("the first argument must be the server's https:// address");
    OpenConnectEngineOptions options;
    options.server = arguments.front();
    for (size_t i = 1; i < arguments.size(); ++i) {
        const std::string &option = arguments[i];
        auto value = [&]() -> const std::string & {
            if (i + 1 >= arguments.size())
                throw std::invalid_argument(option + " needs a value");
            return arguments[++i];
        };
        if (option == "--verbose")
            options.verbose = true;
        else if (option == "--no-dtls")
            options.disableDtls = true;
        else if (option == "--vyx-port-cmd-fd")
            options.commandPort = parseNumber(option, value(), 1, 65535);
        else if (option == "--vyx-port-cmd-fd-write")
            options.commandWritePort = parseNumber(option, value(), 1, 65535);
        else if (option == "--script")
            options.script = value();
        else if (option == "--reconnect-timeout")
            options.reconnectTimeout = parseNumber(option, value(), 0, 1 << 30);
        else
            throw std::invalid_argument("unknown option \"" + option + "\"");
    }
    if (options.commandPort == 0 || options.commandWritePort == 0)
        throw std::invalid_argument("both command channel ports are required");
    if (options.script.empty())
        throw std::invalid_argument("--script is required");
    return options;
}

} // namespace engines
