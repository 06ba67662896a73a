#pragma once
#include "helper/SplittedRouteCommand.h"

namespace stelvane {

// One half of the IPv4 space into a black hole.
class AddSimpleSplittedRouteToBlackhole : public SplittedRouteCommand
{
public:
    explicit AddSimpleSplittedRouteToBlackhole(int index);

protected:
    std::optional<PrepareRouteArguments> route() const override;
};

} // namespace stelvane
