#include "helper/PrepareRouteArguments.h"

#include <iostream>

namespace stelvane {

PrepareRouteArguments::PrepareRouteArguments(int action, int family, std::string destination, int prefixLength,
                                             std::string gateway, std::string interfaceName, int kind)
    : m_action(action)
    , m_family(family)
    , m_destination(std::move(destination))
    , m_prefixLength(prefixLength)
    , m_gateway(std::move(gateway))
    , m_interface(std::move(interfaceName))
    , m_kind(kind)
{
}

std::list<std::string> PrepareRouteArguments::getArgumentsList() const
{
    std::list<std::string> arguments;
    switch (m_action) {
    case ADD: arguments.push_back("add"); break;
    case DELETE: arguments.push_back("delete"); break;
    default:
        std::cout << "Warning: unknown switch case while preparing arguments for Route command (add/delete).\n"
                  << "Use default value: delete\n";
        arguments.push_back("delete");
    }
    switch (m_family) {
    case IPV4: break;
    case IPV6: arguments.push_back("-inet6"); break;
    default:
        std::cout << "Warning: unknown switch case while preparing arguments for Route command (IPv4/IPv6).\n"
                  << "Use default value: IPv4\n";
    }
    arguments.push_back(m_destination + "/" + std::to_string(m_prefixLength));
    if (!m_gateway.empty()) {
        arguments.push_back(m_gateway);
    } else if (!m_interface.empty()) {
        arguments.push_back("-interface");
        arguments.push_back(m_interface);
    }
    switch (m_kind) {
    case BLACKHOLE: arguments.push_back("-blackhole"); break;
    case REJECT: arguments.push_back("-reject"); break;
    case PLAIN: break;
    default:
        std::cout << "Warning: unknown switch case while preparing arguments for Route command "
                     "(blackhole/unreachable/default).\n"
                  << "Use default value: default\n";
    }
    return arguments;
}

} // namespace stelvane
