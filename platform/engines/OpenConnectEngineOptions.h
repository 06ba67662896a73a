#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace engines {

// The command line the helper starts the OpenConnect engine with:
//   SERVER [--verbose] --vyx-port-cmd-fd PORT --vyx-port-cmd-fd-write PORT
//          --script PATH [--no-dtls] --reconnect-timeout SECONDS
struct OpenConnectEngineOptions
{
    std::string server;
    bool verbose = false;
    int commandPort = 0;
    int commandWritePort = 0;
    std::string script;
    bool disableDtls = false;
    int reconnectTimeout = 0;

    // Throws std::invalid_argument naming what is wrong.
    static OpenConnectEngineOptions parse(const std::vector<std::string> &arguments);
};

} // namespace engines
