#pragma once

#include <cstddef>
#include <cstdint>

// The macOS routing-socket dump format (net/route.h, sys/socket.h, net/if_dl.h).
// Spelled out here instead of taken from the build host's headers: the dump is
// always in this format, and Linux has other numbers (AF_INET6 is 10 there) and
// no rt_msghdr at all. Names avoid the system macros (AF_INET, RTF_UP...).
// Multi-byte fields are in host byte order, addresses in network byte order.
namespace BsdRoute {

// sysctl name of the IPv4 routing-table dump: CTL_NET, PF_ROUTE, 0, AF_INET, NET_RT_DUMP, 0.
constexpr int CtlNet = 4;
constexpr int PfRoute = 17;
constexpr int NetRtDump = 1;
constexpr unsigned DumpNameLength = 6;

namespace Family {
constexpr int Inet = 2;
constexpr int Iso = 7;
constexpr int X25 = 10;
constexpr int AppleTalk = 16;
constexpr int Link = 18;
constexpr int Inet6 = 30;
} // namespace Family

namespace Flag {
constexpr std::uint32_t Up = 0x1;
constexpr std::uint32_t Gateway = 0x2;
constexpr std::uint32_t Host = 0x4;
constexpr std::uint32_t Reject = 0x8;
constexpr std::uint32_t LlInfo = 0x400;
constexpr std::uint32_t Static = 0x800;
constexpr std::uint32_t Blackhole = 0x1000;
constexpr std::uint32_t IfScope = 0x1000000;
} // namespace Flag

// rtm_addrs bits, in the order the addresses follow the header.
namespace Addr {
constexpr std::uint32_t Dst = 0x1;
constexpr std::uint32_t Gateway = 0x2;
constexpr std::uint32_t Netmask = 0x4;
constexpr int Count = 8;
} // namespace Addr

constexpr std::uint8_t MessageVersion = 5; // RTM_VERSION
constexpr std::uint8_t MessageTypeGet = 4; // RTM_GET

// struct rt_msghdr: 92 bytes, the 56-byte rt_metrics at its end.
namespace Header {
constexpr std::size_t MsgLen = 0;   // u_short
constexpr std::size_t Version = 2;  // u_char
constexpr std::size_t Type = 3;     // u_char
constexpr std::size_t Index = 4;    // u_short
constexpr std::size_t Flags = 8;    // int
constexpr std::size_t Addrs = 12;   // int
constexpr std::size_t Pid = 16;     // pid_t
constexpr std::size_t Seq = 20;     // int
constexpr std::size_t Errno = 24;   // int
constexpr std::size_t Use = 28;     // int
constexpr std::size_t Inits = 32;   // u_int32_t
constexpr std::size_t Metrics = 36; // struct rt_metrics
constexpr std::size_t MetricsMtu = Metrics + 4;
constexpr std::size_t Size = 92;
} // namespace Header

// struct sockaddr_in: length, family, port, address, 8 bytes of zero.
namespace SockaddrIn {
constexpr std::size_t Len = 0;
constexpr std::size_t Family = 1;
constexpr std::size_t Address = 4;
constexpr std::size_t Size = 16;
} // namespace SockaddrIn

// struct sockaddr_dl: length, family, interface index, type, name/address/selector lengths, data.
namespace SockaddrDl {
constexpr std::size_t Index = 2;
constexpr std::size_t Size = 20;
} // namespace SockaddrDl

// Socket addresses after the header take their length rounded up to 4 bytes;
// a length of 0 still takes 4.
constexpr std::size_t roundUp(std::size_t length)
{
    return length > 0 ? 1 + ((length - 1) | 3) : 4;
}

} // namespace BsdRoute
