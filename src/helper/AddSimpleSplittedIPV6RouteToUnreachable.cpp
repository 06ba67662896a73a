#include "helper/AddSimpleSplittedIPV6RouteToUnreachable.h"

namespace stelvane {

AddSimpleSplittedIPV6RouteToUnreachable::AddSimpleSplittedIPV6RouteToUnreachable(int index)
    : SplittedRouteCommand(index)
{
}

std::optional<PrepareRouteArguments> AddSimpleSplittedIPV6RouteToUnreachable::route() const
{
    const std::string network = twoWayIPv6Network(index());
    if (network.empty())
        return std::nullopt;
    return PrepareRouteArguments(PrepareRouteArguments::ADD, PrepareRouteArguments::IPV6, network, 1, "::1",
                                 std::string(), PrepareRouteArguments::REJECT);
}

} // namespace stelvane
