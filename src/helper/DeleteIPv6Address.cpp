#include "helper/DeleteIPv6Address.h"

#include "helper/PlatformPrograms.h"

namespace stelvane {

DeleteIPv6Address::DeleteIPv6Address(std::string interfaceName, std::string address)
    : m_interfaceName(std::move(interfaceName))
    , m_address(std::move(address))
{
}

std::string DeleteIPv6Address::program() const
{
    return PlatformPrograms::IFCONFIG;
}

std::list<std::string> DeleteIPv6Address::arguments() const
{
    return {m_interfaceName, "inet6", "delete", m_address};
}

} // namespace stelvane
