#include "helper/CheckDefaultRouteCommand.h"

#include "helper/PlatformPrograms.h"

namespace stelvane {

CheckDefaultRouteCommand::CheckDefaultRouteCommand()
{
}

std::string CheckDefaultRouteCommand::program() const
{
    return PlatformPrograms::ROUTE;
}

std::list<std::string> CheckDefaultRouteCommand::arguments() const
{
    return {"-n", "get", "default"};
}

} // namespace stelvane
