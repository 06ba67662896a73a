#include "helper/OpenConnectCommand.h"

#include "helper/ArgumentRules.h"
#include "helper/ExecFailedException.h"
#include "helper/IllegalArgumentException.h"
#include "helper/RootOnlyPath.h"
#include "helper/SecurityCheck.h"
#include "helper/SecurityException.h"

#include <iostream>
#include <unistd.h>

namespace stelvane {

OpenConnectCommand::OpenConnectCommand(std::string program, std::string server, bool verbose, int commandPort,
                                       int commandWritePort, std::string scriptPath, bool disableDtls,
                                       int reconnectTimeout)
    : m_program(std::move(program))
    , m_server(std::move(server))
    , m_verbose(verbose)
    , m_commandPort(commandPort)
    , m_commandWritePort(commandWritePort)
    , m_scriptPath(std::move(scriptPath))
    , m_disableDtls(disableDtls)
    , m_reconnectTimeout(reconnectTimeout)
{
    if (!ArgumentRules::isHttpsServer(m_server))
        throw IllegalArgumentException("server", m_server);
    if (!ArgumentRules::isPort(m_commandPort))
        throw IllegalArgumentException("cmd_fd_port", std::to_string(m_commandPort));
    if (!ArgumentRules::isPort(m_commandWritePort))
        throw IllegalArgumentException("cmd_fd_write_port", std::to_string(m_commandWritePort));
    if (!ArgumentRules::isPlainValue(m_scriptPath))
        throw IllegalArgumentException("PathToVpncScript", m_scriptPath);
    if (m_reconnectTimeout < 0)
        throw IllegalArgumentException("reconnect_timeout", std::to_string(m_reconnectTimeout));
}

void OpenConnectCommand::setEngineSecret(std::string secret)
{
    if (!ArgumentRules::isEngineSecret(secret))
        throw IllegalArgumentException("engineSecret", "(not 32 lowercase hexadecimal digits)");
    m_engineSecret = std::move(secret);
}

std::list<std::string> OpenConnectCommand::arguments(const std::string &scriptArgument) const
{
    std::list<std::string> a = {m_server};
    if (m_verbose)
        a.push_back("--verbose");
    a.insert(a.end(), {"--vyx-port-cmd-fd", std::to_string(m_commandPort), "--vyx-port-cmd-fd-write",
                       std::to_string(m_commandWritePort), "--script", scriptArgument});
    if (m_disableDtls)
        a.push_back("--no-dtls");
    a.insert(a.end(), {"--reconnect-timeout", std::to_string(m_reconnectTimeout)});
    return a;
}

int OpenConnectCommand::execute()
{
    int engine = -1;
    std::string script;
    try {
        const SecurityCheck check;
        check.helpersPathVerified(m_program);
        check.resourcesAppBinPathVerified(m_scriptPath);
        const std::string program = check.ownFileVerified(m_program, "Helpers/openconnect", 404);
        script = check.ownFileVerified(m_scriptPath, "Resources/app/bin/vpnc-script", 405);
        engine = check.openVerified(program, SecurityCheck::OPENCONNECTCHECKSUM);
        check.checkChecksum(script, SecurityCheck::VPNCSCRIPTCHECKSUM);
    } catch (const SecurityException &e) {
        if (engine >= 0)
            close(engine);
        std::cerr << "OpenConnect: Err " << e.code() << std::endl;
        return e.exitStatus();
    }
#ifndef __APPLE__
    // The engine runs the script as root, by its path, long after its digest
    // was checked: only root may be able to change it meanwhile. (On macOS
    // the bundle lies in /Applications, which the admin group may change.)
    const std::string unsafe = RootOnlyPath::unsafePart(script);
    if (!unsafe.empty()) {
        close(engine);
        throw ExecFailedException(script, {}, "refusing to run it as root: others than root may change " + unsafe);
    }
#endif
    if (m_engineSecret.empty()) {
        close(engine);
        throw ExecFailedException(m_program, {}, "the engine has no secret to show the client");
    }
    exec(engine, m_program, arguments(script), {std::string(ENGINE_SECRET_VARIABLE) + "=" + m_engineSecret});
    return -1;
}

} // namespace stelvane
