#pragma once
#include <string>

namespace stelvane {

// Where the system programs that the network commands run are. Fixed when the
// helper is built, never taken from the environment or the caller.
class PlatformPrograms
{
public:
    static const char ROUTE[];
    static const char IFCONFIG[];
    static const char NETWORKSETUP[];

    // The absolute path of the program named `name` (one of the above);
    // throws ExecFailedException when anyone but root could change it.
    static std::string path(const std::string &name);
};

} // namespace stelvane
