#include "helper/RemoveSimpleSplittedIPV6RouteToUnreachable.h"

namespace stelvane {

RemoveSimpleSplittedIPV6RouteToUnreachable::RemoveSimpleSplittedIPV6RouteToUnreachable(int index)
    : SplittedRouteCommand(index)
{
}

std::optional<PrepareRouteArguments> RemoveSimpleSplittedIPV6RouteToUnreachable::route() const
{
    const std::string network = twoWayIPv6Network(index());
    if (network.empty())
        return std::nullopt;
    return PrepareRouteArguments(PrepareRouteArguments::DELETE, PrepareRouteArguments::IPV6, network, 1, std::string(),
                                 std::string(), PrepareRouteArguments::REJECT);
}

} // namespace stelvane
