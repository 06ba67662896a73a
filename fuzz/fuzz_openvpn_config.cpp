// libFuzzer target: the helper's reading of an OpenVPN configuration by the
// engine's rules and its check against the allowed directives. Whatever the
// bytes, the check ends with a verdict; a configuration it passes is written
// anew, and what it writes must pass again unchanged: the engine reads
// exactly what was checked.
#include "helper/OpenVpnConfigCheck.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using stelvane::OpenVpnConfigCheck;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string content(reinterpret_cast<const char *>(data), size);
    const OpenVpnConfigCheck::FileResolver sealed = [](const std::string &name, std::string &path, std::string &) {
        path = "/proc/self/fd/" + std::to_string(name.size());
        return true;
    };
    std::string engineConfig;
    std::string refusal;
    if (!OpenVpnConfigCheck::rewrite(content, sealed, engineConfig, refusal)) {
        if (refusal.empty())
            std::abort();
        return 0;
    }
    const OpenVpnConfigCheck::FileResolver asGiven = [](const std::string &name, std::string &path, std::string &) {
        path = name;
        return true;
    };
    std::string again;
    if (!OpenVpnConfigCheck::rewrite(engineConfig, asGiven, again, refusal) || again != engineConfig)
        std::abort();
    return 0;
}
