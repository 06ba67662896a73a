#include "helper/IllegalArgumentException.h"

namespace stelvane {

IllegalArgumentException::IllegalArgumentException(std::string name, std::string value)
    : m_name(std::move(name))
    , m_value(std::move(value))
{
}

std::string IllegalArgumentException::toString() const
{
    return "IllegalArgumentException: " + m_name + "=" + m_value;
}

const char *IllegalArgumentException::what() const noexcept
{
    return "IllegalArgumentException";
}

} // namespace stelvane
