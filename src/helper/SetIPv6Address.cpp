#include "helper/SetIPv6Address.h"

#include "helper/PlatformPrograms.h"

namespace stelvane {

SetIPv6Address::SetIPv6Address(std::string interfaceName, std::string address, int prefixLength)
    : m_interfaceName(std::move(interfaceName))
    , m_address(std::move(address))
    , m_prefixLength(prefixLength)
{
}

std::string SetIPv6Address::program() const
{
    return PlatformPrograms::IFCONFIG;
}

std::list<std::string> SetIPv6Address::arguments() const
{
    return {m_interfaceName, "inet6", m_address + "/" + std::to_string(m_prefixLength), "up"};
}

} // namespace stelvane
