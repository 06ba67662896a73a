#include "helper/SetIPv4Address.h"

#include "helper/PlatformPrograms.h"

namespace stelvane {

SetIPv4Address::SetIPv4Address(std::string interfaceName, std::string address, std::string mask, std::string gateway)
    : m_interfaceName(std::move(interfaceName))
    , m_address(std::move(address))
    , m_mask(std::move(mask))
    , m_gateway(std::move(gateway))
{
}

std::string SetIPv4Address::program() const
{
    return PlatformPrograms::IFCONFIG;
}

std::list<std::string> SetIPv4Address::arguments() const
{
    return {m_interfaceName, m_address, m_gateway, "netmask", m_mask, "up"};
}

} // namespace stelvane
