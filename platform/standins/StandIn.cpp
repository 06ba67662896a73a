#include "StandIn.h"

#include "NetlinkRequest.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <linux/ethtool.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <linux/sockios.h>
#include <net/if.h>
#include <poll.h>
#include <regex>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace standins {

namespace {

// The kernel's fixed number for its initial network namespace.
const char *const INITIAL_NET_NS = "net:[4026531833]";

std::string linkText(const char *path)
{
    char target[128] = {};
    const ssize_t length = ::readlink(path, target, sizeof target - 1);
    return length > 0 ? std::string(target, static_cast<size_t>(length)) : std::string();
}

// Whether /run/netns names our namespace, as 'ip netns identify' finds out.
bool isNamedNamespace()
{
    struct stat own
    {};
    if (::stat("/proc/self/ns/net", &own) != 0)
        return false;
    DIR *names = ::opendir("/run/netns");
    if (!names)
        return false;
    bool found = false;
    while (const dirent *entry = ::readdir(names)) {
        const std::string path = std::string("/run/netns/") + entry->d_name;
        struct stat other
        {};
        if (entry->d_name[0] != '.' && ::stat(path.c_str(), &other) == 0 && other.st_dev == own.st_dev
            && other.st_ino == own.st_ino)
            found = true;
    }
    ::closedir(names);
    return found;
}

const char *ipProgram()
{
    for (const char *candidate : {"/usr/sbin/ip", "/sbin/ip", "/usr/bin/ip", "/bin/ip"}) {
        if (::access(candidate, X_OK) == 0)
            return candidate;
    }
    return "/usr/sbin/ip";
}

// Reads both pipes to their ends, so neither writer can block on a full one.
void drain(int outFd, int errFd, std::string &out, std::string &err)
{
    pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
    std::string *sinks[2] = {&out, &err};
    int open = 2;
    while (open > 0) {
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            char buffer[4096];
            const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                fds[i].fd = -1;
                --open;
                continue;
            }
            sinks[i]->append(buffer, static_cast<size_t>(n));
        }
    }
}

std::string errorMessage(std::string text)
{
    const std::string prefix = "RTNETLINK answers: ";
    if (text.compare(0, prefix.size(), prefix) == 0)
        text.erase(0, prefix.size());
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text.empty() ? "failed" : text;
}

} // namespace

bool inOwnNetworkNamespace()
{
    const std::string own = linkText("/proc/self/ns/net");
    if (own.empty())
        return false;
    const std::string host = linkText("/proc/1/ns/net");
    if (!host.empty())
        return own != host;
    return own != INITIAL_NET_NS && isNamedNamespace();
}

void requireOwnNetworkNamespace(const char *name)
{
    if (inOwnNetworkNamespace())
        return;
    std::fprintf(stderr,
                 "%s: refusing to change the host's network: this stand-in changes only a network namespace of its "
                 "own (run it under 'ip netns exec')\n",
                 name);
    std::exit(69);
}

bool isInterfaceName(const std::string &text)
{
    static const std::regex name("[A-Za-z0-9][A-Za-z0-9._]{0,14}");
    return std::regex_match(text, name);
}

bool isIpv4(const std::string &text)
{
    in_addr address {};
    return ::inet_pton(AF_INET, text.c_str(), &address) == 1;
}

bool isPrefixLength(const std::string &text, int most)
{
    return !text.empty() && text.size() <= 3 && text.find_first_not_of("0123456789") == std::string::npos
           && std::atoi(text.c_str()) <= most;
}

bool isIpv6(const std::string &text)
{
    in6_addr address {};
    return ::inet_pton(AF_INET6, text.c_str(), &address) == 1;
}

bool sameAddress(bool ipv6, const std::string &a, const std::string &b)
{
    const int family = ipv6 ? AF_INET6 : AF_INET;
    unsigned char first[sizeof(in6_addr)] = {};
    unsigned char second[sizeof(in6_addr)] = {};
    return ::inet_pton(family, a.c_str(), first) == 1 && ::inet_pton(family, b.c_str(), second) == 1
           && std::memcmp(first, second, sizeof first) == 0;
}

namespace {

// Interface requests go through any socket of the namespace.
class ControlSocket
{
public:
    ControlSocket()
        : fd(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0))
    {
    }
    ~ControlSocket()
    {
        if (fd >= 0)
            ::close(fd);
    }
    ControlSocket(const ControlSocket &) = delete;
    ControlSocket &operator=(const ControlSocket &) = delete;

    bool request(unsigned long code, ifreq &request) const { return fd >= 0 && ::ioctl(fd, code, &request) == 0; }

private:
    const int fd;
};

ifreq requestFor(const std::string &name)
{
    ifreq request {};
    std::strncpy(request.ifr_name, name.c_str(), IFNAMSIZ - 1);
    return request;
}

bool isTunnel(const ControlSocket &control, const std::string &name)
{
    ethtool_drvinfo information {};
    information.cmd = ETHTOOL_GDRVINFO;
    ifreq request = requestFor(name);
    request.ifr_data = reinterpret_cast<char *>(&information);
    return control.request(SIOCETHTOOL, request) && std::strcmp(information.driver, "tun") == 0;
}

} // namespace

std::vector<Interface> interfaces()
{
    std::vector<Interface> found;
    struct if_nameindex *const all = ::if_nameindex();
    if (!all)
        return found;
    const ControlSocket control;
    for (const struct if_nameindex *entry = all; entry->if_index != 0; ++entry) {
        Interface interface;
        interface.name = entry->if_name;
        ifreq request = requestFor(interface.name);
        interface.up = control.request(SIOCGIFFLAGS, request) && (request.ifr_flags & IFF_UP);
        interface.tunnel = isTunnel(control, interface.name);
        found.push_back(interface);
    }
    ::if_freenameindex(all);
    return found;
}

bool setLinkUp(const std::string &name, bool up, std::string &error)
{
    const ControlSocket control;
    ifreq request = requestFor(name);
    if (control.request(SIOCGIFFLAGS, request)) {
        request.ifr_flags = static_cast<short>(up ? (request.ifr_flags | IFF_UP) : (request.ifr_flags & ~IFF_UP));
        if (control.request(SIOCSIFFLAGS, request))
            return true;
    }
    error = std::strerror(errno);
    return false;
}

int changeRoute(const RouteChange &change, std::string &error)
{
    const int family = change.ipv6 ? AF_INET6 : AF_INET;
    const size_t size = change.ipv6 ? sizeof(in6_addr) : sizeof(in_addr);
    unsigned char destination[sizeof(in6_addr)] = {};
    unsigned char gateway[sizeof(in6_addr)] = {};
    const int full = change.ipv6 ? 128 : 32;
    if (::inet_pton(family, change.address.c_str(), destination) != 1 || change.prefixLength < 0
        || change.prefixLength > full
        || (!change.gateway.empty() && ::inet_pton(family, change.gateway.c_str(), gateway) != 1)) {
        error = std::strerror(EINVAL);
        return EINVAL;
    }
    unsigned device = 0;
    if (!change.device.empty() && (device = ::if_nametoindex(change.device.c_str())) == 0) {
        error = "Cannot find device \"" + change.device + "\"";
        return ENODEV;
    }
    rtmsg route {};
    route.rtm_family = static_cast<unsigned char>(family);
    route.rtm_dst_len = static_cast<unsigned char>(change.prefixLength);
    route.rtm_table = RT_TABLE_MAIN;
    // As iproute2 fills them in: a deletion names no protocol and, for IPv4,
    // no scope, so that it matches the route however it was made.
    route.rtm_protocol = change.adding ? RTPROT_BOOT : RTPROT_UNSPEC;
    route.rtm_type = change.adding || change.type != RTN_UNICAST ? change.type : static_cast<unsigned char>(RTN_UNSPEC);
    if (change.ipv6)
        route.rtm_scope = RT_SCOPE_UNIVERSE;
    else if (!change.adding)
        route.rtm_scope = RT_SCOPE_NOWHERE;
    else if (change.type == RTN_UNICAST && change.gateway.empty())
        route.rtm_scope = RT_SCOPE_LINK;
    else
        route.rtm_scope = RT_SCOPE_UNIVERSE;
    NetlinkRequest request(change.adding ? RTM_NEWROUTE : RTM_DELROUTE,
                           change.adding ? NLM_F_ACK | NLM_F_CREATE | NLM_F_EXCL : NLM_F_ACK, &route, sizeof route);
    bool built = request.add(RTA_DST, destination, size);
    if (!change.gateway.empty())
        built = built && request.add(RTA_GATEWAY, gateway, size);
    if (device != 0)
        built = built && request.add(RTA_OIF, &device, sizeof device);
    const int result = built ? request.send() : EMSGSIZE;
    if (result != 0)
        error = std::strerror(result);
    return result;
}

bool writeAll(int fd, const std::string &content)
{
    size_t written = 0;
    while (written < content.size()) {
        const ssize_t n = ::write(fd, content.data() + written, content.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        written += static_cast<size_t>(n);
    }
    return true;
}

IpResult ip(const std::vector<std::string> &arguments)
{
    IpResult result;
    int out[2];
    int err[2];
    if (::pipe2(out, O_CLOEXEC) != 0)
        return result;
    if (::pipe2(err, O_CLOEXEC) != 0) {
        ::close(out[0]);
        ::close(out[1]);
        return result;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
    const char *program = ipProgram();
    std::vector<char *> argv {const_cast<char *>(program)};
    for (const std::string &argument : arguments)
        argv.push_back(const_cast<char *>(argument.c_str()));
    argv.push_back(nullptr);
    char path[] = "PATH=/usr/sbin:/usr/bin:/sbin:/bin";
    char locale[] = "LC_ALL=C";
    char *environment[] = {path, locale, nullptr};
    pid_t pid = -1;
    const int spawned = ::posix_spawn(&pid, program, &actions, nullptr, argv.data(), environment);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    ::close(err[1]);
    std::string errors;
    if (spawned == 0)
        drain(out[0], err[0], result.output, errors);
    ::close(out[0]);
    ::close(err[0]);
    int status = 0;
    if (spawned == 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status))
        result.status = WEXITSTATUS(status);
    if (result.status != 0)
        result.message = errorMessage(spawned == 0 ? errors : std::string("cannot run ") + program);
    return result;
}

} // namespace standins
