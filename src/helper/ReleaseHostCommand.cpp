#include "helper/ReleaseHostCommand.h"

#include "helper/PlatformPrograms.h"

namespace stelvane {

ReleaseHostCommand::ReleaseHostCommand(std::string host)
    : m_host(std::move(host))
{
}

std::string ReleaseHostCommand::program() const
{
    return PlatformPrograms::ROUTE;
}

std::list<std::string> ReleaseHostCommand::arguments() const
{
    return {"delete", m_host + "/32"};
}

} // namespace stelvane
