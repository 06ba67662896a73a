#pragma once
#include "helper/SplittedRouteCommand.h"

namespace stelvane {

// Removes one unreachable IPv6 half.
class RemoveSimpleSplittedIPV6RouteToUnreachable : public SplittedRouteCommand
{
public:
    explicit RemoveSimpleSplittedIPV6RouteToUnreachable(int index);

protected:
    std::optional<PrepareRouteArguments> route() const override;
};

} // namespace stelvane
