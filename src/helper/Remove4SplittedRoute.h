#pragma once
#include "helper/SplittedRouteCommand.h"

namespace stelvane {

// Removes one quarter route.
class Remove4SplittedRoute : public SplittedRouteCommand
{
public:
    explicit Remove4SplittedRoute(int index);

protected:
    std::optional<PrepareRouteArguments> route() const override;
};

} // namespace stelvane
