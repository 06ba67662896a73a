#pragma once
#include "helper/AbstractExecCommand.h"
#include "helper/DialDestination.h"

#include <list>
#include <memory>
#include <string>
#include <vector>

namespace stelvane {

class EngineFiles;

// Starts the bundle's OpenVPN engine.
class OpenVpnCommand : public AbstractExecCommand
{
public:
    enum ProxyProtocol { DIRECT = 0, HTTP = 1, SOCKS5 = 2 };

    struct Parameters
    {
        std::string program;
        std::string configDir;
        std::string configFile;
        int managementPort = 0;
        bool queryRemote = false;
        bool upDown = false;
        std::string cipher;
        std::string auth;
        std::string tlsCrypt;
        std::string tlsAuthKey;
        std::string obfuscate;
        std::string scrambleMask;
        int proxyProtocol = DIRECT;
        std::string proxyAddress;
        int proxyPort = 0;
        bool persistTun = false;
        std::list<std::string> remotes;
        std::string tlsMinimumVersion;
        int tunMtu = 0;
    };

    // Refuses (IllegalArgumentException) every value that the engine could
    // read as an option of its own or that is out of range.
    explicit OpenVpnCommand(Parameters parameters);
    ~OpenVpnCommand() override;

    // "direct", "http" or "socks5"; anything else is refused.
    static int proxyProtocol(const std::string &text);

    // Reads and checks the configuration file and the key files now, so that
    // a refused one fails while the command is built; the engine is then
    // given sealed copies of them (EngineFiles).
    void loadConfiguration();
    // Seals the checked configuration with the client's secret for this run
    // added as an "echo", which the engine lists to the client when asked:
    // how the client knows its engine. After loadConfiguration().
    void setEngineSecret(const std::string &secret);

    // The TCP destinations the engine will dial, known once the
    // configuration is loaded.
    const std::vector<DialDestination> &dialDestinations() const { return m_destinations; }

    int execute() override;
    // The engine's arguments, with `configArgument` after "--config".
    std::list<std::string> arguments(const std::string &configArgument) const;

private:
    Parameters m_p;
    std::unique_ptr<EngineFiles> m_files;
    std::string m_engineConfig;
    std::string m_config;
    std::vector<DialDestination> m_destinations;
};

} // namespace stelvane
