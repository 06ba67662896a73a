#include "helper/RemoveSimpleSplittedRouteToBlackhole.h"

namespace stelvane {

RemoveSimpleSplittedRouteToBlackhole::RemoveSimpleSplittedRouteToBlackhole(int index)
    : SplittedRouteCommand(index)
{
}

std::optional<PrepareRouteArguments> RemoveSimpleSplittedRouteToBlackhole::route() const
{
    const std::string network = twoWayIPv4Network(index());
    if (network.empty())
        return std::nullopt;
    return PrepareRouteArguments(PrepareRouteArguments::DELETE, PrepareRouteArguments::IPV4, network, 1, std::string(),
                                 std::string(), PrepareRouteArguments::BLACKHOLE);
}

} // namespace stelvane
