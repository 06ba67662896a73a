#include "helper/DialDestination.h"

#include <cstdlib>

namespace stelvane {

DialDestination DialDestination::ofHttpsServer(const std::string &argument, const std::string &url)
{
    const std::string scheme = "https://";
    const std::size_t start = url.compare(0, scheme.size(), scheme) == 0 ? scheme.size() : 0;
    const std::string authority = url.substr(start, url.find('/', start) - start);
    std::string host = authority;
    std::string port;
    if (!authority.empty() && authority.front() == '[') {
        const std::size_t close = authority.find(']');
        host = authority.substr(1, close == std::string::npos ? std::string::npos : close - 1);
        if (close != std::string::npos && authority.compare(close + 1, 1, ":") == 0)
            port = authority.substr(close + 2);
    } else if (authority.rfind(':') != std::string::npos) {
        host = authority.substr(0, authority.rfind(':'));
        port = authority.substr(authority.rfind(':') + 1);
    }
    DialDestination destination {argument, url, 0, host, 443};
    if (!port.empty())
        destination.port = static_cast<unsigned short>(std::strtoul(port.c_str(), nullptr, 10));
    return destination;
}

} // namespace stelvane
