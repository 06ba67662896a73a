#include "helper/Add4SplittedRouteToGateway.h"

namespace stelvane {

Add4SplittedRouteToGateway::Add4SplittedRouteToGateway(std::string gateway, int index)
    : SplittedRouteCommand(index)
    , m_gateway(std::move(gateway))
{
}

std::optional<PrepareRouteArguments> Add4SplittedRouteToGateway::route() const
{
    const std::string network = fourWayNetwork(index());
    if (network.empty())
        return std::nullopt;
    return PrepareRouteArguments(PrepareRouteArguments::ADD, PrepareRouteArguments::IPV4, network, 2, m_gateway,
                                 std::string(), PrepareRouteArguments::PLAIN);
}

} // namespace stelvane
