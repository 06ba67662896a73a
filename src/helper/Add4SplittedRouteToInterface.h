#pragma once
#include "helper/SplittedRouteCommand.h"

namespace stelvane {

// One quarter of the IPv4 space through an interface.
class Add4SplittedRouteToInterface : public SplittedRouteCommand
{
public:
    Add4SplittedRouteToInterface(std::string interfaceName, int index);

protected:
    std::optional<PrepareRouteArguments> route() const override;

private:
    std::string m_interfaceName;
};

} // namespace stelvane
