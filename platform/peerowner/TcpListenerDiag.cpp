#include "TcpListenerDiag.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <linux/inet_diag.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <linux/sock_diag.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace orvalplatform {

namespace {

class NetlinkSocket
{
public:
    NetlinkSocket()
        : m_fd(socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC, NETLINK_SOCK_DIAG))
    {
    }
    ~NetlinkSocket()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    NetlinkSocket(const NetlinkSocket &) = delete;
    NetlinkSocket &operator=(const NetlinkSocket &) = delete;

    int fd() const { return m_fd; }

private:
    const int m_fd;
};

bool ask(int fd, unsigned char family)
{
    struct
    {
        nlmsghdr header;
        inet_diag_req_v2 request;
    } message {};
    message.header.nlmsg_len = sizeof message;
    message.header.nlmsg_type = SOCK_DIAG_BY_FAMILY;
    message.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    message.request.sdiag_family = family;
    message.request.sdiag_protocol = IPPROTO_TCP;
    message.request.idiag_states = 1U << TCP_LISTEN_STATE;
    sockaddr_nl kernel {};
    kernel.nl_family = AF_NETLINK;
    return sendto(fd, &message, sizeof message, 0, reinterpret_cast<const sockaddr *>(&kernel), sizeof kernel)
           == static_cast<ssize_t>(sizeof message);
}

// One listener of an answer, its attributes after it.
TcpSocketEntry entryOf(nlmsghdr &message)
{
    auto *diag = static_cast<inet_diag_msg *>(NLMSG_DATA(&message));
    TcpSocketEntry entry;
    entry.state = diag->idiag_state;
    entry.uid = diag->idiag_uid;
    entry.inode = diag->idiag_inode;
    entry.local.port = ntohs(diag->id.idiag_sport);
    if (diag->idiag_family == AF_INET) {
        entry.local.address = ipv4Address(0, 0, 0, 0);
        std::memcpy(entry.local.address.data() + 12, diag->id.idiag_src, 4);
    } else {
        std::memcpy(entry.local.address.data(), diag->id.idiag_src, 16);
    }
    int left = static_cast<int>(message.nlmsg_len - NLMSG_SPACE(sizeof *diag));
    for (auto *attribute = reinterpret_cast<rtattr *>(reinterpret_cast<char *>(diag) + NLMSG_ALIGN(sizeof *diag));
         RTA_OK(attribute, left); attribute = RTA_NEXT(attribute, left)) {
        if (attribute->rta_type == INET_DIAG_SKV6ONLY && RTA_PAYLOAD(attribute) >= 1)
            entry.v6Only = *static_cast<const unsigned char *>(RTA_DATA(attribute)) != 0;
    }
    return entry;
}

// The answers to one dump, up to its end; false when it failed or came cut.
bool receive(int fd, std::vector<TcpSocketEntry> &entries)
{
    // MSG_TRUNC: the length of the whole datagram, to tell one that did not fit.
    std::vector<char> buffer(65536);
    for (;;) {
        const ssize_t size = recv(fd, buffer.data(), buffer.size(), MSG_TRUNC);
        if (size < 0 && errno == EINTR)
            continue;
        if (size <= 0 || static_cast<size_t>(size) > buffer.size())
            return false;
        auto left = static_cast<unsigned int>(size);
        for (auto *message = reinterpret_cast<nlmsghdr *>(buffer.data()); NLMSG_OK(message, left);
             message = NLMSG_NEXT(message, left)) {
            if (message->nlmsg_type == NLMSG_DONE)
                return true;
            if (message->nlmsg_type != SOCK_DIAG_BY_FAMILY || message->nlmsg_len < NLMSG_LENGTH(sizeof(inet_diag_msg)))
                return false;
            entries.push_back(entryOf(*message));
        }
    }
}

bool readByDiag(std::vector<TcpSocketEntry> &entries)
{
    const NetlinkSocket netlink;
    for (const unsigned char family : {AF_INET, AF_INET6}) {
        if (netlink.fd() < 0 || !ask(netlink.fd(), family) || !receive(netlink.fd(), entries))
            return false;
    }
    return true;
}

} // namespace

std::vector<TcpSocketEntry> readTcpListeners()
{
    std::vector<TcpSocketEntry> entries;
    if (readByDiag(entries))
        return entries;
    return readTcpSocketTables();
}

} // namespace orvalplatform
