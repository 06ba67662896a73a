#include "helper/MissingArgumentException.h"

namespace stelvane {

MissingArgumentException::MissingArgumentException(std::string name)
    : m_name(std::move(name))
{
}

const char *MissingArgumentException::what() const noexcept
{
    return "MissingArgumentException";
}

} // namespace stelvane
