#pragma once
#include <string>

namespace stelvane {

// A TCP destination that an engine the helper starts will dial, with what
// names it in a refusal: the argument and its value and, for a directive of
// a configuration, the directive's line.
struct DialDestination
{
    std::string argument;
    std::string value;
    int line = 0;
    std::string host;
    unsigned short port = 0;

    // The server of the OpenConnect engine, a URL "https://" HOST [":" PORT]
    // "/" as the engine's library reads it: port 443 when none is given, an
    // IPv6 address in brackets, named without them.
    static DialDestination ofHttpsServer(const std::string &argument, const std::string &url);
};

} // namespace stelvane
