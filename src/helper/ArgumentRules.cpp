#include "helper/ArgumentRules.h"

#include <algorithm>

#include <arpa/inet.h>
#include <cstdlib>

namespace stelvane {

namespace {

bool isAsciiAlnum(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool hasControlCharacter(const std::string &text)
{
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7F)
            return true;
    }
    return false;
}

bool isHostName(const std::string &host)
{
    if (host.empty() || host.size() > 253 || host.front() == '-' || host.front() == '.')
        return false;
    for (char c : host) {
        if (!isAsciiAlnum(c) && c != '-' && c != '.')
            return false;
    }
    return true;
}

} // namespace

bool ArgumentRules::isIPv4Address(const std::string &text)
{
    in_addr address {};
    return inet_pton(AF_INET, text.c_str(), &address) == 1 && text.find('\0') == std::string::npos;
}

bool ArgumentRules::isIPv6Address(const std::string &text)
{
    in6_addr address {};
    return inet_pton(AF_INET6, text.c_str(), &address) == 1 && text.find('\0') == std::string::npos;
}

bool ArgumentRules::isInterfaceName(const std::string &text)
{
    if (text.empty() || text.size() > 15)
        return false;
    for (char c : text) {
        if (!isAsciiAlnum(c))
            return false;
    }
    return true;
}

bool ArgumentRules::isServiceName(const std::string &text)
{
    return !text.empty() && isPlainValue(text);
}

bool ArgumentRules::isNameServer(const std::string &text)
{
    return isIPv4Address(text) || isIPv6Address(text);
}

bool ArgumentRules::isPlainValue(const std::string &text)
{
    return (text.empty() || text.front() != '-') && !hasControlCharacter(text);
}

bool ArgumentRules::isAlgorithmName(const std::string &text)
{
    if (!text.empty() && text.front() == '-')
        return false;
    for (char c : text) {
        if (!isAsciiAlnum(c) && c != '_' && c != '.' && c != '-')
            return false;
    }
    return true;
}

bool ArgumentRules::isTlsVersion(const std::string &text)
{
    return text == "1.0" || text == "1.1" || text == "1.2" || text == "1.3";
}

bool ArgumentRules::isPort(int port)
{
    return port >= 1 && port <= 65535;
}

bool ArgumentRules::isEngineSecret(const std::string &text)
{
    return text.size() == 32 && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

bool ArgumentRules::isHttpsServer(const std::string &text)
{
    const std::string scheme = "https://";
    if (text.compare(0, scheme.size(), scheme) != 0 || text.size() < scheme.size() + 4 || text.back() != '/')
        return false;
    const std::string authority = text.substr(scheme.size(), text.size() - scheme.size() - 1);
    const std::size_t colon = authority.rfind(':');
    if (colon == std::string::npos)
        return false;
    const std::string host = authority.substr(0, colon);
    const std::string port = authority.substr(colon + 1);
    if (port.empty() || port.size() > 5 || port.front() == '0')
        return false;
    for (char c : port) {
        if (c < '0' || c > '9')
            return false;
    }
    if (!isPort(std::atoi(port.c_str())))
        return false;
    if (host.size() > 2 && host.front() == '[' && host.back() == ']')
        return isIPv6Address(host.substr(1, host.size() - 2));
    return isHostName(host);
}

} // namespace stelvane
