#include "helper/SetInterfaceUp.h"

#include "helper/PlatformPrograms.h"

namespace stelvane {

SetInterfaceUp::SetInterfaceUp(std::string interfaceName)
    : m_interfaceName(std::move(interfaceName))
{
}

std::string SetInterfaceUp::program() const
{
    return PlatformPrograms::IFCONFIG;
}

std::list<std::string> SetInterfaceUp::arguments() const
{
    return {m_interfaceName, "up"};
}

} // namespace stelvane
