#pragma once
#include "helper/DialDestination.h"

#include <list>
#include <string>
#include <vector>

namespace stelvane {

// The TCP destinations that the OpenVPN engine dials: read from the
// configuration it is given by the engine's own rules (OpenVpnConfigTokenizer)
// and from the helper's arguments, which the engine reads after it. Every
// "remote HOST [PORT [PROTO]]" and every remote argument (HOST alone) becomes
// one connection, whose port and protocol default to those the configuration
// sets with "port"/"rport" and "proto", wherever they stand, and else to 1194
// and UDP. With an HTTP or SOCKS proxy the engine dials the proxy instead,
// also for UDP. Only a connection that is certainly UDP is left out.
// The reading follows the engine for each directive that moves a
// destination, also those the configuration check refuses today, so that
// allowing one later opens no way around it; a <connection> block, which
// would carry destinations of its own, is refused.
class OpenVpnDialDestinations
{
public:
    struct Arguments
    {
        // The configuration's name, as a refusal names it.
        std::string configFile;
        std::list<std::string> remotes;
        bool proxy = false;
        std::string proxyAddress;
        int proxyPort = 0;
    };

    // False, with `refusal` naming the line, when the configuration cannot be
    // read or names a TCP destination's port in a form other than a decimal
    // number from 1 to 65535 (the engine would read "+7505", " 7505" or
    // "72041", which it truncates to 6505, as a port).
    static bool read(const std::string &config, const Arguments &arguments, std::vector<DialDestination> &destinations,
                     std::string &refusal);
};

} // namespace stelvane
