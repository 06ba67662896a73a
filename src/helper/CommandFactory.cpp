#include "helper/CommandFactory.h"

#include "helper/Add4SplittedRouteToGateway.h"
#include "helper/Add4SplittedRouteToInterface.h"
#include "helper/AddSimpleSplittedIPV6RouteToUnreachable.h"
#include "helper/AddSimpleSplittedRouteToBlackhole.h"
#include "helper/ArgumentRules.h"
#include "helper/CallerListener.h"
#include "helper/CheckDefaultRouteCommand.h"
#include "helper/CheckInterfaceStateCommand.h"
#include "helper/CommandWords.h"
#include "helper/DeadlineLineReader.h"
#include "helper/DeleteIPv4Address.h"
#include "helper/DeleteIPv6Address.h"
#include "helper/DialDestination.h"
#include "helper/ExceptionCommand.h"
#include "helper/IllegalArgumentException.h"
#include "helper/InterfaceCommand.h"
#include "helper/MissingArgumentException.h"
#include "helper/OpenConnectCommand.h"
#include "helper/OpenVpnCommand.h"
#include "helper/ProtectHostCommand.h"
#include "helper/ReleaseHostCommand.h"
#include "helper/Remove4SplittedRoute.h"
#include "helper/RemoveSimpleSplittedIPV6RouteToUnreachable.h"
#include "helper/RemoveSimpleSplittedRouteToBlackhole.h"
#include "helper/SecurityCheck.h"
#include "helper/SetDnsServerCommand.h"
#include "helper/SetDockIconVisibility.h"
#include "helper/SetIPv4Address.h"
#include "helper/SetIPv6Address.h"
#include "helper/SetInterfaceUp.h"
#include "helper/UnknownCommand.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <unistd.h>

namespace stelvane {

CommandFactory::CommandFactory(int argc, char **argv)
    : m_command(argc > 1 ? argv[1] : "")
{
    for (int i = 2; i < argc; ++i)
        m_arguments.emplace_back(argv[i]);
    m_cursor = m_arguments.cbegin();
}

CommandFactory::CommandFactory(std::string command, std::list<std::string> arguments, std::string engineSecretLine)
    : m_command(std::move(command))
    , m_arguments(std::move(arguments))
    , m_cursor(m_arguments.cbegin())
    , m_engineSecretLine(std::move(engineSecretLine))
{
}

std::string CommandFactory::requireArg(const std::string &name)
{
    if (m_cursor == m_arguments.cend())
        throw MissingArgumentException(name);
    return *m_cursor++;
}

int CommandFactory::requireIntArg(const std::string &name)
{
    const std::string text = requireArg(name);
    const char *start = text.c_str();
    char *end = nullptr;
    errno = 0;
    const long value = std::strtol(start, &end, 10);
    if (end == start || errno == ERANGE || value < INT_MIN || value > INT_MAX)
        throw IllegalArgumentException(name, text);
    return static_cast<int>(value);
}

bool CommandFactory::requireBoolArg(const std::string &name)
{
    std::string text = requireArg(name);
    for (char &c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text == "true";
}

std::list<std::string> CommandFactory::requireListArg(const std::string &name)
{
    std::list<std::string> values = {requireArg(name)};
    while (m_cursor != m_arguments.cend())
        values.push_back(*m_cursor++);
    return values;
}

std::list<std::string> CommandFactory::requireSizeListArg(const std::string &name)
{
    const int size = requireIntArg(name + ".size");
    std::list<std::string> values;
    for (int i = 0; i < size; ++i)
        values.push_back(requireArg(name));
    return values;
}

std::string CommandFactory::requireValidArg(const std::string &name,
                                            const std::function<bool(const std::string &)> &valid)
{
    std::string value = requireArg(name);
    if (!valid(value))
        throw IllegalArgumentException(name, value);
    return value;
}

std::string CommandFactory::requireInterfaceName(const std::string &name)
{
    return requireValidArg(name, ArgumentRules::isInterfaceName);
}

std::string CommandFactory::requireServiceName(const std::string &name)
{
    return requireValidArg(name, ArgumentRules::isServiceName);
}

std::string CommandFactory::requireIPv4Address(const std::string &name)
{
    return requireValidArg(name, ArgumentRules::isIPv4Address);
}

std::string CommandFactory::requireIPv6Address(const std::string &name)
{
    return requireValidArg(name, ArgumentRules::isIPv6Address);
}

std::string CommandFactory::requireEngineSecret()
{
    if (!m_engineSecretLine) {
        DeadlineLineReader reader(STDIN_FILENO, SecurityCheck::STDIN_TIMEOUT_MS, SecurityCheck::MAX_LINE_LENGTH);
        std::string line;
        if (reader.readLine(line) != DeadlineLineReader::Result::Line)
            line.clear();
        m_engineSecretLine = line;
    }
    // The line is never repeated: it is the caller's secret, or garbage.
    if (!ArgumentRules::isEngineSecret(*m_engineSecretLine))
        throw IllegalArgumentException("engineSecret", "(standard input: not 32 lowercase hexadecimal digits)");
    return *m_engineSecretLine;
}

std::unique_ptr<Command> CommandFactory::createCommand()
{
    try {
        return buildCommand();
    } catch (const MissingArgumentException &e) {
        return std::make_unique<ExceptionCommand>(m_command, m_arguments, "Missing argument: " + e.name());
    } catch (const IllegalArgumentException &e) {
        return std::make_unique<ExceptionCommand>(m_command, m_arguments, e.toString());
    }
}

std::unique_ptr<Command> CommandFactory::buildCommand()
{
    const std::string &c = m_command;
    if (c == command::INTERFACE) {
        const std::string service = requireServiceName("InterfaceName");
        const std::string state = requireArg("State");
        if (state != "up" && state != "down")
            throw IllegalArgumentException("state", state);
        return std::make_unique<InterfaceCommand>(service, state == "up" ? "on" : "off");
    }
    if (c == command::CHECK_INTERFACE_STATE)
        return std::make_unique<CheckInterfaceStateCommand>(requireServiceName("InterfaceName"));
    if (c == command::CHECK_DEFAULT_ROUTE)
        return std::make_unique<CheckDefaultRouteCommand>();
    if (c == command::OPEN_VPN) {
        OpenVpnCommand::Parameters p;
        p.program = requireArg("PathToOpenVPN");
        p.configDir = requireArg("PathToConfigDir");
        p.configFile = requireArg("configFile");
        p.managementPort = requireIntArg("ManagementPort");
        p.queryRemote = requireBoolArg("managementQueryEnable");
        p.upDown = requireBoolArg("managementUpDown");
        p.cipher = requireArg("cipher");
        p.auth = requireArg("auth");
        p.tlsCrypt = requireArg("tlscrypt");
        p.tlsAuthKey = requireArg("tlskey");
        p.obfuscate = requireArg("obfuscate");
        p.scrambleMask = requireArg("scrambleMask");
        p.proxyProtocol = OpenVpnCommand::proxyProtocol(requireArg("ProxyProtocol"));
        p.proxyAddress = requireArg("ProxyAddress");
        p.proxyPort = requireIntArg("ProxyPort");
        p.persistTun = requireBoolArg("persistTun");
        p.remotes = requireSizeListArg("remote");
        p.tlsMinimumVersion = requireArg("tlsMinimumVersion");
        p.tunMtu = requireIntArg("tunMtu");
        auto command = std::make_unique<OpenVpnCommand>(p);
        command->loadConfiguration();
        CallerListener::require("ManagementPort", p.managementPort);
        CallerListener::requireDestinations(command->dialDestinations());
        command->setEngineSecret(requireEngineSecret());
        return command;
    }
    if (c == command::SET_NAME_SERVERS) {
        const std::string service = requireServiceName("NetworkService");
        const std::list<std::string> servers = requireListArg("<dns1> [dns2] [...]");
        const bool clear = servers.size() == 1 && servers.front() == command::NO_NAME_SERVERS;
        for (const std::string &server : servers) {
            if (!clear && !ArgumentRules::isNameServer(server))
                throw IllegalArgumentException("<dns1> [dns2] [...]", server);
        }
        return std::make_unique<SetDnsServerCommand>(service, servers);
    }
    if (c == command::PROTECT_HOST) {
        const std::string host = requireIPv4Address("IPAddress");
        return std::make_unique<ProtectHostCommand>(host, requireIPv4Address("Gateway"));
    }
    if (c == command::RELEASE_HOST)
        return std::make_unique<ReleaseHostCommand>(requireIPv4Address("IPAddress"));
    if (c == command::OPEN_CONNECT) {
        const std::string program = requireArg("PathToOpenConnect");
        const std::string server = requireArg("server");
        const bool verbose = requireBoolArg("verbose");
        const int commandPort = requireIntArg("cmd_fd_port");
        const int commandWritePort = requireIntArg("cmd_fd_write_port");
        const std::string script = requireArg("PathToVpncScript");
        const bool disableDtls = requireBoolArg("disable_dtls");
        const int reconnectTimeout = requireIntArg("reconnect_timeout");
        auto command = std::make_unique<OpenConnectCommand>(program, server, verbose, commandPort, commandWritePort,
                                                            script, disableDtls, reconnectTimeout);
        CallerListener::require("cmd_fd_port", commandPort);
        CallerListener::require("cmd_fd_write_port", commandWritePort);
        CallerListener::requireDestinations({DialDestination::ofHttpsServer("server", server)});
        command->setEngineSecret(requireEngineSecret());
        return command;
    }
    if (c == command::SET_INTERFACE_UP)
        return std::make_unique<SetInterfaceUp>(requireInterfaceName("interface_name"));
    if (c == command::SET_IPV4_ADDRESS) {
        const std::string interfaceName = requireInterfaceName("interface_name");
        const std::string address = requireIPv4Address("address");
        const std::string mask = requireIPv4Address("mask");
        return std::make_unique<SetIPv4Address>(interfaceName, address, mask, requireIPv4Address("gateway"));
    }
    if (c == command::DELETE_IPV4_ADDRESS) {
        const std::string interfaceName = requireInterfaceName("interface_name");
        return std::make_unique<DeleteIPv4Address>(interfaceName, requireIPv4Address("address"));
    }
    if (c == command::SET_IPV6_ADDRESS) {
        const std::string interfaceName = requireInterfaceName("interface_name");
        const std::string address = requireIPv6Address("address");
        const int prefix = requireIntArg("mask_in_integer");
        if (prefix < 0 || prefix > 128)
            throw IllegalArgumentException("mask_in_integer", std::to_string(prefix));
        return std::make_unique<SetIPv6Address>(interfaceName, address, prefix);
    }
    if (c == command::DELETE_IPV6_ADDRESS) {
        const std::string interfaceName = requireInterfaceName("interface_name");
        return std::make_unique<DeleteIPv6Address>(interfaceName, requireIPv6Address("address"));
    }
    if (c == command::ADD_SPLIT_ROUTES_TO_GATEWAY) {
        const std::string gateway = requireIPv4Address("gateway");
        return std::make_unique<Add4SplittedRouteToGateway>(gateway, requireIntArg("index_of_splitted_route"));
    }
    if (c == command::ADD_SPLIT_ROUTES_TO_INTERFACE) {
        const std::string interfaceName = requireInterfaceName("interface_name");
        return std::make_unique<Add4SplittedRouteToInterface>(interfaceName, requireIntArg("index_of_splitted_route"));
    }
    if (c == command::REMOVE_SPLIT_ROUTES)
        return std::make_unique<Remove4SplittedRoute>(requireIntArg("index_of_splitted_route"));
    if (c == command::ADD_BLACKHOLE_ROUTE)
        return std::make_unique<AddSimpleSplittedRouteToBlackhole>(requireIntArg("index_of_splitted_route"));
    if (c == command::REMOVE_BLACKHOLE_ROUTE)
        return std::make_unique<RemoveSimpleSplittedRouteToBlackhole>(requireIntArg("index_of_splitted_route"));
    if (c == command::ADD_IPV6_UNREACHABLE_ROUTE)
        return std::make_unique<AddSimpleSplittedIPV6RouteToUnreachable>(requireIntArg("index_of_splitted_route"));
    if (c == command::REMOVE_IPV6_UNREACHABLE_ROUTE)
        return std::make_unique<RemoveSimpleSplittedIPV6RouteToUnreachable>(requireIntArg("index_of_splitted_route"));
    if (c == command::SET_DOCK_ICON_VISIBILITY)
        return std::make_unique<SetDockIconVisibility>(requireBoolArg("Visibility"));
    return std::make_unique<UnknownCommand>(m_command, m_arguments);
}

} // namespace stelvane
