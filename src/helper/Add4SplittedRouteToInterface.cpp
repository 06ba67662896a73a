#include "helper/Add4SplittedRouteToInterface.h"

namespace stelvane {

Add4SplittedRouteToInterface::Add4SplittedRouteToInterface(std::string interfaceName, int index)
    : SplittedRouteCommand(index)
    , m_interfaceName(std::move(interfaceName))
{
}

std::optional<PrepareRouteArguments> Add4SplittedRouteToInterface::route() const
{
    const std::string network = fourWayNetwork(index());
    if (network.empty())
        return std::nullopt;
    return PrepareRouteArguments(PrepareRouteArguments::ADD, PrepareRouteArguments::IPV4, network, 2, std::string(),
                                 m_interfaceName, PrepareRouteArguments::PLAIN);
}

} // namespace stelvane
