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
// verified), in "<bundle>/Contents/Platform/bin/". They run as root, and so
// does the shell code they source from "Platform/lib/": wherever the bundle
// lies, neither may be open to changes by anyone but root.
std::string PlatformPrograms::path(const std::string &name)
{
    const std::string platform = SecurityCheck().bundleRoot() + "/Contents/Platform/";
    const std::string program = platform + "bin/" + name;
    for (const std::string &file : {program, platform + "lib/standin-common.sh"}) {
        const std::string unsafe = RootOnlyPath::unsafePart(file);
        if (!unsafe.empty())
            throw ExecFailedException(program, {}, "refusing to run it as root: others than root may change " + unsafe);
    }
    return program;
}
#endif

} // namespace stelvane
