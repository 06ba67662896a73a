#include "helper/PlatformPrograms.h"

#include "helper/ExecFailedException.h"
#include "helper/RootOnlyPath.h"
#include "helper/SecurityCheck.h"

namespace stelvane {

const char PlatformPrograms::ROUTE[] = "route";
const char PlatformPrograms::IFCONFIG[] = "ifconfig";
const char PlatformPrograms::NETWORKSETUP[] = "networksetup";

#ifdef __APPLE__
std::string PlatformPrograms::path(const std::string &name)
{
    return name == NETWORKSETUP ? "/usr/sbin/networksetup" : "/sbin/" + name;
}
#else
// The stand-ins ship inside the helper's own bundle (whose place main has
// verified), in "<bundle>/Contents/Platform/bin/". They run as root: wherever
// the bundle lies, they may not be open to changes by anyone but root.
std::string PlatformPrograms::path(const std::string &name)
{
    const std::string program = SecurityCheck().bundleRoot() + "/Contents/Platform/bin/" + name;
    const std::string unsafe = RootOnlyPath::unsafePart(program);
    if (!unsafe.empty())
        throw ExecFailedException(program, {}, "refusing to run it as root: others than root may change " + unsafe);
    return program;
}
#endif

} // namespace stelvane
