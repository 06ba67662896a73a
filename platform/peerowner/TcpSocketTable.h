#pragma once

#include <array>
#include <string>
#include <vector>

// The kernel's TCP sockets of the calling process's network namespace, as
// this machine lists them in /proc/net/tcp and /proc/net/tcp6. On macOS the
// same records come from the net.inet.tcp.pcblist_n sysctl: xinpcb_n gives
// the two ends, xsocket_n the owner (so_uid), xtcpcb_n the state (t_state).
namespace orvalplatform {

// An IPv6 address; an IPv4 one as ::ffff:a.b.c.d.
using Address = std::array<unsigned char, 16>;

struct TcpEndpoint
{
    Address address {};
    unsigned short port = 0;

    bool operator==(const TcpEndpoint &other) const { return address == other.address && port == other.port; }
};

struct TcpSocketEntry
{
    TcpEndpoint local;
    TcpEndpoint remote;
    // The kernel's state number (TCP_LISTEN_STATE for a listener).
    int state = 0;
    long long uid = -1;
    unsigned long long inode = 0;
    // An IPv6 socket known to take IPv6 alone (IPV6_V6ONLY). The /proc
    // tables do not tell it: their entries leave it false.
    bool v6Only = false;
};

constexpr int TCP_LISTEN_STATE = 10;

// The IPv4 address a.b.c.d as an endpoint address.
Address ipv4Address(unsigned char a, unsigned char b, unsigned char c, unsigned char d);
// Whether `address` is an IPv4 one.
bool isIPv4(const Address &address);

// The pure step: the entries of one table's text (heading first); lines that
// do not parse are skipped.
std::vector<TcpSocketEntry> parseTcpSocketTable(const std::string &table);

// Both tables of this network namespace, IPv4 first.
std::vector<TcpSocketEntry> readTcpSocketTables();

} // namespace orvalplatform
