#pragma once
#include <functional>
#include <string>

namespace stelvane {

// The OpenVPN engine runs as root with a configuration that any local user
// may write. Only the directives of the one table in OpenVpnConfigCheck.cpp
// pass: those a client configuration of the catalogue needs, none that runs a
// program, loads code, writes or reads a file, or changes what the helper sets
// itself (management, scripts, proxies). The configuration is read by the
// engine's own rules (OpenVpnConfigTokenizer) and written anew from the words
// read, so the engine reads exactly what was checked.
class OpenVpnConfigCheck
{
public:
    // Sets `enginePath` to the path the engine is to read for the file `name`
    // that a directive names; false, with `refusal` set, when that file may
    // not be used.
    using FileResolver = std::function<bool(const std::string &name, std::string &enginePath, std::string &refusal)>;

    // The configuration as the engine is to read it, line for line the same
    // directives as `content`, with the file a "ca" directive names replaced
    // by what `resolveFile` gives for it. False, with `refusal` naming the
    // line and the refused directive, when `content` may not be used.
    static bool rewrite(const std::string &content, const FileResolver &resolveFile, std::string &engineConfig,
                        std::string &refusal);

    // Why `content` is refused, or an empty string; the files it names are
    // not looked at.
    static std::string refusal(const std::string &content);
};

} // namespace stelvane
