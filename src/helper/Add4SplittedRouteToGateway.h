#pragma once
#include "helper/SplittedRouteCommand.h"

namespace stelvane {

// One quarter of the IPv4 space through a gateway.
class Add4SplittedRouteToGateway : public SplittedRouteCommand
{
public:
    Add4SplittedRouteToGateway(std::string gateway, int index);

protected:
    std::optional<PrepareRouteArguments> route() const override;

private:
    std::string m_gateway;
};

} // namespace stelvane
