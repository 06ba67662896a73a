#include "helper/SecurityException.h"

namespace stelvane {

SecurityException::SecurityException(int code, int exitStatus)
    : m_code(code)
    , m_exitStatus(exitStatus)
{
}

const char *SecurityException::what() const noexcept
{
    return "SecurityException";
}

} // namespace stelvane
