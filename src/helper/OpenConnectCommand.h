#pragma once
#include "helper/AbstractExecCommand.h"

#include <list>
#include <string>

namespace stelvane {

// Starts the bundle's OpenConnect engine.
class OpenConnectCommand : public AbstractExecCommand
{
public:
    // Refuses (IllegalArgumentException) a server other than
    // "https://host:port/", ports outside 1-65535, a negative time-out and a
    // script path that reads as an option.
    OpenConnectCommand(std::string program, std::string server, bool verbose, int commandPort, int commandWritePort,
                       std::string scriptPath, bool disableDtls, int reconnectTimeout);

    // The client's secret for this run, which the engine shows first on each
    // command channel; it reaches the engine in its environment
    // (ENGINE_SECRET_VARIABLE), which only root may read.
    void setEngineSecret(std::string secret);
    static constexpr char ENGINE_SECRET_VARIABLE[] = "VYX_CHANNEL_SECRET";

    int execute() override;
    // The engine's arguments, with `scriptArgument` after "--script".
    std::list<std::string> arguments(const std::string &scriptArgument) const;

private:
    std::string m_program;
    std::string m_server;
    bool m_verbose;
    int m_commandPort;
    int m_commandWritePort;
    std::string m_scriptPath;
    bool m_disableDtls;
    int m_reconnectTimeout;
    std::string m_engineSecret;
};

} // namespace stelvane
