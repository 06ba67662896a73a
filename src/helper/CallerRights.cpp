#include "helper/CallerRights.h"

#include "helper/IllegalArgumentException.h"

#include <cstdlib>
#include <unistd.h>

namespace stelvane {

CallerRights::CallerRights(const char *argument)
    : m_switched(geteuid() == 0 && (getuid() != 0 || getgid() != 0))
    , m_effectiveGroup(getegid())
{
    if (m_switched && (setegid(getgid()) != 0 || seteuid(getuid()) != 0)) {
        restore();
        throw IllegalArgumentException(argument, "cannot take the caller's identity");
    }
}

CallerRights::~CallerRights()
{
    restore();
}

void CallerRights::restore()
{
    if (m_switched && (seteuid(0) != 0 || setegid(m_effectiveGroup) != 0))
        std::abort();
}

} // namespace stelvane
