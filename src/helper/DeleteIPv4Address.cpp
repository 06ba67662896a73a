#include "helper/DeleteIPv4Address.h"

#include "helper/PlatformPrograms.h"

namespace stelvane {

DeleteIPv4Address::DeleteIPv4Address(std::string interfaceName, std::string address)
    : m_interfaceName(std::move(interfaceName))
    , m_address(std::move(address))
{
}

std::string DeleteIPv4Address::program() const
{
    return PlatformPrograms::IFCONFIG;
}

std::list<std::string> DeleteIPv4Address::arguments() const
{
    return {m_interfaceName, "delete", m_address};
}

} // namespace stelvane
