#include "helper/AddSimpleSplittedRouteToBlackhole.h"

namespace stelvane {

AddSimpleSplittedRouteToBlackhole::AddSimpleSplittedRouteToBlackhole(int index)
    : SplittedRouteCommand(index)
{
}

std::optional<PrepareRouteArguments> AddSimpleSplittedRouteToBlackhole::route() const
{
    const std::string network = twoWayIPv4Network(index());
    if (network.empty())
        return std::nullopt;
    return PrepareRouteArguments(PrepareRouteArguments::ADD, PrepareRouteArguments::IPV4, network, 1, "127.0.0.1",
                                 std::string(), PrepareRouteArguments::BLACKHOLE);
}

} // namespace stelvane
