#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace engines {

// The OpenVPN 2.4 command line the product builds, turned into one that the
// OpenVPN 2.6 installed on this system accepts with the same meaning.
class OpenVpnArgumentAdapter
{
public:
    // Throws std::runtime_error for options this engine cannot honour: connecting
    // without the obfuscation the caller asked for would be a silent downgrade.
    static std::vector<std::string> translate(const std::vector<std::string> &arguments);
};

} // namespace engines
