#pragma once
#include "helper/SplittedRouteCommand.h"

namespace stelvane {

// One half of the IPv6 space made unreachable.
class AddSimpleSplittedIPV6RouteToUnreachable : public SplittedRouteCommand
{
public:
    explicit AddSimpleSplittedIPV6RouteToUnreachable(int index);

protected:
    std::optional<PrepareRouteArguments> route() const override;
};

} // namespace stelvane
