#include "NetlinkRequest.h"

#include <cerrno>
#include <cstring>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace standins {

namespace {

const unsigned SEQUENCE = 1;

} // namespace

NetlinkRequest::NetlinkRequest(unsigned short type, unsigned short flags, const void *header, size_t headerSize)
{
    m_message.header.nlmsg_len = static_cast<unsigned>(NLMSG_LENGTH(headerSize));
    m_message.header.nlmsg_type = type;
    m_message.header.nlmsg_flags = static_cast<unsigned short>(NLM_F_REQUEST | flags);
    m_message.header.nlmsg_seq = SEQUENCE;
    if (headerSize <= sizeof m_message.body)
        std::memcpy(m_message.body, header, headerSize);
}

bool NetlinkRequest::add(unsigned short type, const void *data, size_t size)
{
    const size_t at = NLMSG_ALIGN(m_message.header.nlmsg_len);
    if (at + RTA_SPACE(size) > sizeof m_message)
        return false;
    rtattr *attribute = reinterpret_cast<rtattr *>(reinterpret_cast<char *>(&m_message) + at);
    attribute->rta_type = type;
    attribute->rta_len = static_cast<unsigned short>(RTA_LENGTH(size));
    if (size > 0)
        std::memcpy(RTA_DATA(attribute), data, size);
    m_message.header.nlmsg_len = static_cast<unsigned>(at + RTA_SPACE(size));
    return true;
}

int NetlinkRequest::send() const
{
    return dump([](const nlmsghdr &) {});
}

int NetlinkRequest::dump(const std::function<void(const nlmsghdr &)> &each) const
{
    const int fd = ::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE);
    if (fd < 0)
        return errno;
    sockaddr_nl kernel {};
    kernel.nl_family = AF_NETLINK;
    if (::sendto(fd, &m_message, m_message.header.nlmsg_len, 0, reinterpret_cast<const sockaddr *>(&kernel),
                 sizeof kernel)
        < 0) {
        const int error = errno;
        ::close(fd);
        return error;
    }
    // Large enough for the kernel's biggest dump part, so nothing is cut.
    std::vector<char> buffer(65536);
    int result = -1;
    while (result < 0) {
        const ssize_t received = ::recv(fd, buffer.data(), buffer.size(), 0);
        if (received < 0 && errno == EINTR)
            continue;
        if (received <= 0) {
            result = received < 0 ? errno : EIO;
            break;
        }
        int left = static_cast<int>(received);
        for (const nlmsghdr *message = reinterpret_cast<const nlmsghdr *>(buffer.data());
             result < 0 && NLMSG_OK(message, left); message = NLMSG_NEXT(message, left)) {
            if (message->nlmsg_seq != SEQUENCE)
                continue;
            if (message->nlmsg_type == NLMSG_DONE) {
                result = 0;
            } else if (message->nlmsg_type == NLMSG_ERROR) {
                result = message->nlmsg_len < NLMSG_LENGTH(sizeof(nlmsgerr))
                             ? EIO
                             : -static_cast<const nlmsgerr *>(NLMSG_DATA(message))->error;
            } else {
                each(*message);
            }
        }
    }
    ::close(fd);
    return result;
}

std::map<unsigned short, std::string> NetlinkRequest::attributes(const nlmsghdr &message, size_t headerSize)
{
    std::map<unsigned short, std::string> found;
    if (message.nlmsg_len < NLMSG_LENGTH(headerSize))
        return found;
    const char *start = static_cast<const char *>(NLMSG_DATA(&message)) + NLMSG_ALIGN(headerSize);
    int left = static_cast<int>(message.nlmsg_len - NLMSG_LENGTH(NLMSG_ALIGN(headerSize)));
    for (const rtattr *attribute = reinterpret_cast<const rtattr *>(start); RTA_OK(attribute, left);
         attribute = RTA_NEXT(attribute, left)) {
        found[attribute->rta_type & NLA_TYPE_MASK] =
            std::string(static_cast<const char *>(RTA_DATA(attribute)), RTA_PAYLOAD(attribute));
    }
    return found;
}

} // namespace standins
