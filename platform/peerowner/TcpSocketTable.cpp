#include "TcpSocketTable.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace orvalplatform {

namespace {

bool isHex(const std::string &text)
{
    return !text.empty() && text.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
}

bool isDecimal(const std::string &text)
{
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

// One 32-bit word of an address as the kernel prints it: the word's bytes in
// network order, read as a number of this machine.
bool parseWord(const std::string &hex, unsigned char *bytes)
{
    if (hex.size() != 8 || !isHex(hex))
        return false;
    const std::uint32_t word = static_cast<std::uint32_t>(std::strtoul(hex.c_str(), nullptr, 16));
    std::memcpy(bytes, &word, sizeof word);
    return true;
}

// "0100007F:1F90" (IPv4) or 32 hex digits and a port (IPv6).
bool parseEndpoint(const std::string &text, TcpEndpoint &endpoint)
{
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos || text.size() - colon - 1 != 4)
        return false;
    const std::string address = text.substr(0, colon);
    const std::string port = text.substr(colon + 1);
    if (!isHex(port))
        return false;
    endpoint = TcpEndpoint();
    if (address.size() == 8) {
        endpoint.address[10] = 0xff;
        endpoint.address[11] = 0xff;
        if (!parseWord(address, endpoint.address.data() + 12))
            return false;
    } else if (address.size() == 32) {
        for (std::size_t i = 0; i < 4; ++i) {
            if (!parseWord(address.substr(i * 8, 8), endpoint.address.data() + i * 4))
                return false;
        }
    } else {
        return false;
    }
    endpoint.port = static_cast<unsigned short>(std::strtoul(port.c_str(), nullptr, 16));
    return true;
}

bool parseEntry(const std::string &line, TcpSocketEntry &entry)
{
    std::istringstream fields(line);
    std::string slot, local, remote, state, queues, timer, retransmits, uid, timeout, inode;
    if (!(fields >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> uid >> timeout >> inode))
        return false;
    if (state.size() != 2 || !isHex(state) || !isDecimal(uid) || !isDecimal(inode))
        return false;
    if (!parseEndpoint(local, entry.local) || !parseEndpoint(remote, entry.remote))
        return false;
    entry.state = static_cast<int>(std::strtol(state.c_str(), nullptr, 16));
    entry.uid = std::strtoll(uid.c_str(), nullptr, 10);
    entry.inode = std::strtoull(inode.c_str(), nullptr, 10);
    return true;
}

std::string fileText(const char *path)
{
    std::ifstream file(path);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

} // namespace

Address ipv4Address(unsigned char a, unsigned char b, unsigned char c, unsigned char d)
{
    return {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xff, 0xff, a, b, c, d};
}

bool isIPv4(const Address &address)
{
    return std::equal(address.begin(), address.begin() + 12, ipv4Address(0, 0, 0, 0).begin());
}

std::vector<TcpSocketEntry> parseTcpSocketTable(const std::string &table)
{
    std::vector<TcpSocketEntry> entries;
    std::istringstream lines(table);
    std::string line;
    std::getline(lines, line); // the heading
    while (std::getline(lines, line)) {
        TcpSocketEntry entry;
        if (parseEntry(line, entry))
            entries.push_back(entry);
    }
    return entries;
}

std::vector<TcpSocketEntry> readTcpSocketTables()
{
    std::vector<TcpSocketEntry> entries = parseTcpSocketTable(fileText("/proc/net/tcp"));
    const std::vector<TcpSocketEntry> ipv6 = parseTcpSocketTable(fileText("/proc/net/tcp6"));
    entries.insert(entries.end(), ipv6.begin(), ipv6.end());
    return entries;
}

} // namespace orvalplatform
