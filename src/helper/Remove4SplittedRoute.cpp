#include "helper/Remove4SplittedRoute.h"

namespace stelvane {

Remove4SplittedRoute::Remove4SplittedRoute(int index)
    : SplittedRouteCommand(index)
{
}

std::optional<PrepareRouteArguments> Remove4SplittedRoute::route() const
{
    const std::string network = fourWayNetwork(index());
    if (network.empty())
        return std::nullopt;
    return PrepareRouteArguments(PrepareRouteArguments::DELETE, PrepareRouteArguments::IPV4, network, 2, std::string(),
                                 std::string(), PrepareRouteArguments::PLAIN);
}

} // namespace stelvane
