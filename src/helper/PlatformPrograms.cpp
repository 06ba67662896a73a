#include "helper/PlatformPrograms.h"

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
// verified), in "<bundle>/Contents/Platform/bin/".
std::string PlatformPrograms::path(const std::string &name)
{
    return SecurityCheck().bundleRoot() + "/Contents/Platform/bin/" + name;
}
#endif

} // namespace stelvane
