#pragma once

#include <cstddef>
#include <functional>
#include <linux/netlink.h>
#include <map>
#include <string>

namespace standins {

// One rtnetlink request: the message header, the family's own header (rtmsg,
// ifaddrmsg, ...) and attributes appended after it. Nothing but the kernel is
// asked: no program is started.
class NetlinkRequest
{
public:
    NetlinkRequest(unsigned short type, unsigned short flags, const void *header, size_t headerSize);

    // Appends one attribute; false when the request has no room for it.
    bool add(unsigned short type, const void *data, size_t size);

    // Sends the request and reads the kernel's acknowledgement: 0 or an errno value.
    int send() const;
    // Sends a dump request and hands every message of the answer to `each`:
    // 0 or an errno value.
    int dump(const std::function<void(const nlmsghdr &)> &each) const;

    // The attributes that follow a family header of `headerSize` bytes in
    // `message`, by type, each as its payload's bytes.
    static std::map<unsigned short, std::string> attributes(const nlmsghdr &message, size_t headerSize);

private:
    struct
    {
        nlmsghdr header;
        alignas(NLMSG_ALIGNTO) unsigned char body[1024];
    } m_message {};
};

} // namespace standins
