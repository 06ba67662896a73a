#include "helper/OpenVpnCommand.h"

#include "helper/ArgumentRules.h"
#include "helper/EngineFiles.h"
#include "helper/ExecFailedException.h"
#include "helper/IllegalArgumentException.h"
#include "helper/OpenVpnConfigCheck.h"
#include "helper/OpenVpnDialDestinations.h"
#include "helper/SecurityCheck.h"
#include "helper/SecurityException.h"

#include <cerrno>
#include <cstring>
#include <iostream>

namespace stelvane {

namespace {

void require(bool valid, const std::string &name, const std::string &value)
{
    if (!valid)
        throw IllegalArgumentException(name, value);
}

} // namespace

OpenVpnCommand::OpenVpnCommand(Parameters parameters)
    : m_p(std::move(parameters))
{
    require(ArgumentRules::isPlainValue(m_p.configDir), "PathToConfigDir", m_p.configDir);
    require(ArgumentRules::isPlainValue(m_p.configFile), "configFile", m_p.configFile);
    require(ArgumentRules::isPort(m_p.managementPort), "ManagementPort", std::to_string(m_p.managementPort));
    require(ArgumentRules::isAlgorithmName(m_p.cipher), "cipher", m_p.cipher);
    require(ArgumentRules::isAlgorithmName(m_p.auth), "auth", m_p.auth);
    require(ArgumentRules::isPlainValue(m_p.tlsCrypt), "tlscrypt", m_p.tlsCrypt);
    require(ArgumentRules::isPlainValue(m_p.tlsAuthKey), "tlskey", m_p.tlsAuthKey);
    require(ArgumentRules::isPlainValue(m_p.obfuscate), "obfuscate", m_p.obfuscate);
    require(ArgumentRules::isPlainValue(m_p.scrambleMask), "scrambleMask", m_p.scrambleMask);
    require(ArgumentRules::isPlainValue(m_p.proxyAddress), "ProxyAddress", m_p.proxyAddress);
    // A direct connection still sends a port, and it must be a valid one.
    require(ArgumentRules::isPort(m_p.proxyPort), "ProxyPort", std::to_string(m_p.proxyPort));
    for (const std::string &remote : m_p.remotes)
        require(ArgumentRules::isPlainValue(remote) && !remote.empty(), "remote", remote);
    require(ArgumentRules::isTlsVersion(m_p.tlsMinimumVersion), "tlsMinimumVersion", m_p.tlsMinimumVersion);
    require(m_p.tunMtu <= 65535, "tunMtu", std::to_string(m_p.tunMtu));
}

int OpenVpnCommand::proxyProtocol(const std::string &text)
{
    if (text == "direct")
        return DIRECT;
    if (text == "http")
        return HTTP;
    if (text == "socks5")
        return SOCKS5;
    throw IllegalArgumentException("ProxyProtocol", text);
}

OpenVpnCommand::~OpenVpnCommand() = default;

void OpenVpnCommand::loadConfiguration()
{
    auto files = std::make_unique<EngineFiles>(m_p.configDir);
    std::string engineConfig;
    std::string refusal;
    const OpenVpnConfigCheck::FileResolver sealedCopy = [&files](const std::string &name, std::string &enginePath,
                                                                 std::string &why) {
        return files->sealedCopy(name, enginePath, why);
    };
    if (!OpenVpnConfigCheck::rewrite(files->read(m_p.configFile, "configFile"), sealedCopy, engineConfig, refusal))
        throw IllegalArgumentException("configFile", m_p.configFile + " (" + refusal + ")");
    const OpenVpnDialDestinations::Arguments dialed {m_p.configFile, m_p.remotes, m_p.proxyProtocol != DIRECT,
                                                     m_p.proxyAddress, m_p.proxyPort};
    if (!OpenVpnDialDestinations::read(engineConfig, dialed, m_destinations, refusal))
        throw IllegalArgumentException("configFile", m_p.configFile + " (" + refusal + ")");
    // The key files that the catalogue's cipher offers name, in the same directory.
    if (!m_p.tlsCrypt.empty())
        m_p.tlsCrypt = files->sealedCopy(m_p.tlsCrypt, "tlscrypt");
    if (!m_p.tlsAuthKey.empty())
        m_p.tlsAuthKey = files->sealedCopy(m_p.tlsAuthKey, "tlskey");
    m_engineConfig = engineConfig;
    m_files = std::move(files);
}

void OpenVpnCommand::setEngineSecret(const std::string &secret)
{
    require(ArgumentRules::isEngineSecret(secret), "engineSecret", "(not 32 lowercase hexadecimal digits)");
    if (!m_files)
        throw ExecFailedException(m_p.program, {}, "the configuration was not checked");
    // Last, outside any block the configuration may end with (the check
    // refuses one left open).
    m_config = m_files->seal(m_engineConfig + "\necho " + secret + "\n");
    if (m_config.empty())
        throw IllegalArgumentException("configFile", m_p.configFile + " (" + std::strerror(errno) + ")");
    m_p.configDir = m_files->directory();
}

std::list<std::string> OpenVpnCommand::arguments(const std::string &configArgument) const
{
    std::list<std::string> a = {
        "--cd",
        m_p.configDir,
        "--config",
        configArgument,
        "--management",
        "127.0.0.1",
        std::to_string(m_p.managementPort),
        "--management-client",
        "--management-hold",
        "--management-query-passwords",
        "--management-up-down",
        "--auth-retry",
        "interact",
        "--script-security",
        "1",
        "--route-noexec",
    };
    if (m_p.queryRemote)
        a.push_back("--management-query-remote");
    if (m_p.upDown)
        a.push_back("--management-up-down");
    a.insert(a.end(), {"--ncp-disable", "--cipher", m_p.cipher});
    if (!m_p.auth.empty())
        a.insert(a.end(), {"--auth", m_p.auth});
    if (!m_p.tlsCrypt.empty())
        a.insert(a.end(), {"--tls-crypt", m_p.tlsCrypt});
    if (!m_p.tlsAuthKey.empty())
        a.insert(a.end(), {"--tls-auth", m_p.tlsAuthKey, "1"});
    if (!m_p.scrambleMask.empty())
        a.insert(a.end(), {"--scramble", m_p.obfuscate, m_p.scrambleMask});
    if (m_p.persistTun)
        a.push_back("--persist-tun");
    if (m_p.proxyProtocol == SOCKS5)
        a.insert(a.end(), {"--socks-proxy", m_p.proxyAddress, std::to_string(m_p.proxyPort)});
    else if (m_p.proxyProtocol == HTTP)
        a.insert(a.end(), {"--http-proxy", m_p.proxyAddress, std::to_string(m_p.proxyPort)});
    for (const std::string &remote : m_p.remotes)
        a.insert(a.end(), {"--remote", remote});
    a.insert(a.end(), {"--tls-version-min", m_p.tlsMinimumVersion});
    if (m_p.tunMtu > 0)
        a.insert(a.end(), {"--tun-mtu", std::to_string(m_p.tunMtu)});
    return a;
}

int OpenVpnCommand::execute()
{
    int engine = -1;
    try {
        const SecurityCheck check;
        check.helpersPathVerified(m_p.program);
        const std::string canonical = check.ownFileVerified(m_p.program, "Helpers/openvpn_v2_4", 404);
        engine = check.openVerified(canonical, SecurityCheck::OPENVPN_V2_4_CHECKSUM);
    } catch (const SecurityException &e) {
        std::cerr << "OpenVpn: Err " << e.code() << std::endl;
        return e.exitStatus();
    }
    if (m_config.empty())
        throw ExecFailedException(m_p.program, {}, "the configuration was not checked and sealed");
    exec(engine, m_p.program, arguments(m_config));
    return -1;
}

} // namespace stelvane
