#include "helper/OpenVpnDialDestinations.h"

#include "helper/OpenVpnConfigTokenizer.h"

#include <cstdlib>

namespace stelvane {

namespace {

using Directive = OpenVpnConfigTokenizer::Directive;

// A word of the configuration, with the line it stands on (0: a default or
// an argument of the helper).
struct Word
{
    std::string text;
    int line = 0;
};

// One connection the engine makes; a remote's empty port or protocol takes
// the configuration's.
struct Connection
{
    std::string argument;
    std::string value;
    int line = 0;
    std::string host;
    Word port;
    std::string protocol;
};

bool isUdp(const std::string &protocol)
{
    return protocol == "udp" || protocol == "udp4" || protocol == "udp6";
}

bool portNumber(const std::string &text, unsigned short &port)
{
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const unsigned long value = std::strtoul(text.c_str(), nullptr, 10);
    port = static_cast<unsigned short>(value);
    return value >= 1 && value <= 65535;
}

std::string word(const std::vector<std::string> &words, std::size_t index)
{
    return index < words.size() ? words[index] : std::string();
}

struct Reading
{
    std::vector<Connection> remotes;
    std::vector<Connection> proxies;
    Word port {"1194", 0};
    std::string protocol = "udp";
};

Connection connectionAt(const Directive &directive, const std::string &configFile, const std::string &port,
                        const std::string &protocol)
{
    return {"configFile", configFile, directive.line, directive.words[1], {port, directive.line}, protocol};
}

// Adds what `directive` says about the connections to `reading`; false for
// a <connection> block.
bool take(const Directive &directive, const std::string &configFile, Reading &reading)
{
    const std::vector<std::string> &words = directive.words;
    if (directive.isInline)
        return words[0] != "connection";
    if (words.size() < 2)
        return true;
    const std::string &name = words[0];
    if (name == "proto")
        reading.protocol = words[1];
    else if (name == "port" || name == "rport")
        reading.port = {words[1], directive.line};
    else if (name == "remote")
        reading.remotes.push_back(connectionAt(directive, configFile, word(words, 2), word(words, 3)));
    else if (name == "http-proxy")
        reading.proxies.push_back(connectionAt(directive, configFile, word(words, 2), ""));
    else if (name == "socks-proxy")
        reading.proxies.push_back(connectionAt(directive, configFile, words.size() > 2 ? words[2] : "1080", ""));
    return true;
}

} // namespace

bool OpenVpnDialDestinations::read(const std::string &config, const Arguments &arguments,
                                   std::vector<DialDestination> &destinations, std::string &refusal)
{
    std::vector<Directive> directives;
    if (!OpenVpnConfigTokenizer::read(config, directives, refusal))
        return false;
    Reading reading;
    for (const Directive &directive : directives) {
        if (!take(directive, arguments.configFile, reading)) {
            refusal = "line " + std::to_string(directive.line) + ": a <connection> block is not read for destinations";
            return false;
        }
    }
    for (const std::string &remote : arguments.remotes)
        reading.remotes.push_back({"remote", remote, 0, remote, {}, ""});
    if (arguments.proxy) {
        reading.proxies.push_back({"ProxyAddress",
                                   arguments.proxyAddress,
                                   0,
                                   arguments.proxyAddress,
                                   {std::to_string(arguments.proxyPort), 0},
                                   ""});
    }
    const bool proxied = !reading.proxies.empty();
    destinations.clear();
    for (const Connection &connection : proxied ? reading.proxies : reading.remotes) {
        if (!proxied && isUdp(connection.protocol.empty() ? reading.protocol : connection.protocol))
            continue;
        // A proxy has a port of its own; the engine refuses an HTTP proxy without one.
        const Word &port = proxied || !connection.port.text.empty() ? connection.port : reading.port;
        DialDestination destination {connection.argument, connection.value, connection.line, connection.host, 0};
        if (!portNumber(port.text, destination.port)) {
            refusal = "line " + std::to_string(port.line) + ": port \"" + port.text
                      + "\" of a TCP destination is no number from 1 to 65535";
            return false;
        }
        destinations.push_back(destination);
    }
    return true;
}

} // namespace stelvane
