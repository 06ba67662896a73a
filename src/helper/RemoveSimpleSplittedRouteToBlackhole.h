#pragma once
#include "helper/SplittedRouteCommand.h"

namespace stelvane {

// Removes one IPv4 black-hole half.
class RemoveSimpleSplittedRouteToBlackhole : public SplittedRouteCommand
{
public:
    explicit RemoveSimpleSplittedRouteToBlackhole(int index);

protected:
    std::optional<PrepareRouteArguments> route() const override;
};

} // namespace stelvane
