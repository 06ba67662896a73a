#pragma once

#include <string>
#include <utility>
#include <vector>

namespace standins {

// The namespace's /etc/resolv.conf as the networksetup stand-in keeps it. The
// file the namespace came with holds the name servers its network gave it
// (on macOS, the services' own, from DHCP). Setting a service's name servers
// replaces those: while any service has some, only the set servers are
// active, each service's in a marked block, and the original file is kept
// inside the file as comments. Once no service has any, the original comes
// back byte for byte.
class NameServerFile
{
public:
    static NameServerFile parse(const std::string &text);

    // The servers set on `service`, empty when none.
    std::vector<std::string> servers(const std::string &service) const;
    // Replaces the servers of `service`; an empty list clears them.
    void setServers(const std::string &service, const std::vector<std::string> &servers);
    std::string text() const;

private:
    // The file before any service had servers.
    std::string m_original;
    // Services with servers, in the order they were first set.
    std::vector<std::pair<std::string, std::vector<std::string>>> m_services;
};

} // namespace standins
