#pragma once
#include <sys/types.h>

namespace stelvane {

// While alive, files are opened with the rights of the user who started the
// helper: the engine must not become a way to read files that user cannot.
class CallerRights
{
public:
    // Throws IllegalArgumentException(`argument`, ...) when the caller's
    // identity cannot be taken.
    explicit CallerRights(const char *argument);
    ~CallerRights();
    CallerRights(const CallerRights &) = delete;
    CallerRights &operator=(const CallerRights &) = delete;

private:
    void restore();

    bool m_switched;
    gid_t m_effectiveGroup;
};

} // namespace stelvane
