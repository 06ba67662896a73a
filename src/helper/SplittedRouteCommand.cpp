#include "helper/SplittedRouteCommand.h"

#include "helper/PlatformPrograms.h"

namespace stelvane {

namespace {

template<std::size_t N>
std::string networkAt(const char *const (&networks)[N], int index)
{
    return index >= 1 && index <= static_cast<int>(N) ? networks[index - 1] : std::string();
}

} // namespace

SplittedRouteCommand::SplittedRouteCommand(int index)
    : m_index(index)
{
}

std::string SplittedRouteCommand::fourWayNetwork(int index)
{
    static const char *const networks[] = {"0.0.0.0", "64.0.0.0", "128.0.0.0", "192.0.0.0"};
    return networkAt(networks, index);
}

std::string SplittedRouteCommand::twoWayIPv4Network(int index)
{
    static const char *const networks[] = {"0.0.0.0", "128.0.0.0"};
    return networkAt(networks, index);
}

std::string SplittedRouteCommand::twoWayIPv6Network(int index)
{
    static const char *const networks[] = {"0000::", "8000::"};
    return networkAt(networks, index);
}

int SplittedRouteCommand::execute()
{
    if (!route())
        return -1;
    return ProgramCommand::execute();
}

std::string SplittedRouteCommand::program() const
{
    return PlatformPrograms::ROUTE;
}

std::list<std::string> SplittedRouteCommand::arguments() const
{
    const std::optional<PrepareRouteArguments> r = route();
    return r ? r->getArgumentsList() : std::list<std::string>();
}

} // namespace stelvane
