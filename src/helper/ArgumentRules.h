#pragma once
#include <string>

namespace stelvane {

// What a command-line value may look like before it reaches a program that
// runs as root. Each rule answers for one kind of value.
class ArgumentRules
{
public:
    static bool isIPv4Address(const std::string &text);
    static bool isIPv6Address(const std::string &text);
    // [A-Za-z0-9]{1,15}: a kernel interface name that no program can read as an option.
    static bool isInterfaceName(const std::string &text);
    // Non-empty, no leading "-", no control characters (service names hold blanks).
    static bool isServiceName(const std::string &text);
    static bool isNameServer(const std::string &text);
    // No leading "-" and no control characters: a value, never an option.
    static bool isPlainValue(const std::string &text);
    // [A-Za-z0-9_.-]* without a leading "-".
    static bool isAlgorithmName(const std::string &text);
    static bool isTlsVersion(const std::string &text);
    static bool isPort(int port);
    // Exactly 32 lowercase hexadecimal digits: the client's secret for one engine run.
    static bool isEngineSecret(const std::string &text);
    // "https://" host ":" port "/" with a DNS name, an IPv4 address or a bracketed IPv6 address.
    static bool isHttpsServer(const std::string &text);
};

} // namespace stelvane
