#pragma once
#include <string>
#include <vector>

namespace stelvane {

// The OpenVPN engine runs as root: its configuration must not make it run
// programs, load code or write files. This reads a configuration the way the
// engine does, as far as that matters for finding the directives it uses.
class OpenVpnConfigCheck
{
public:
    static constexpr std::size_t MAX_SIZE = 1024 * 1024;

    // The first refused directive that `content` uses, or an empty string.
    static std::string refusedDirective(const std::string &content);
    // The words of one configuration line after the engine's quoting rules.
    static std::vector<std::string> words(const std::string &line);

    // Reads `configFile` (relative to `configDir` unless absolute), which must
    // be a regular file inside `configDir` using no refused directive.
    // Returns its content and sets `canonicalDir`; throws
    // IllegalArgumentException("configFile", ...) otherwise.
    static std::string load(const std::string &configDir, const std::string &configFile, std::string &canonicalDir);
};

} // namespace stelvane
