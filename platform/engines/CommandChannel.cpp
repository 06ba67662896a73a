#include "CommandChannel.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace engines {

namespace {

// The client never sends long lines; a peer that does is not the client.
constexpr size_t MAX_LINE = 64 * 1024;

// Each line is sent at once and each received one acknowledged at once: the
// client answers most lines, and Nagle's algorithm against a delayed
// acknowledgement would hold every exchange some 40 ms. The system leaves
// quick acknowledgement again on its own, so it is asked for after each read.
void acknowledgeAtOnce(int fd)
{
#ifdef TCP_QUICKACK
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
#else
    (void)fd;
#endif
}

void sendAtOnce(int fd)
{
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    acknowledgeAtOnce(fd);
}

void writeAll(int fd, const std::string &data)
{
    size_t written = 0;
    while (written < data.size()) {
        const ssize_t n = ::send(fd, data.data() + written, data.size() - written, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return; // the client went away; the main loop notices on its own
        written += static_cast<size_t>(n);
    }
}

} // namespace

CommandChannel::CommandChannel(int commandPort, int commandWritePort, const std::string &secret)
    : m_commandFd(connectTo(commandPort, secret))
    , m_commandWriteFd(connectTo(commandWritePort, secret))
{
    if (::pipe2(m_cancelPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        throw std::runtime_error(std::string("pipe: ") + std::strerror(errno));
}

CommandChannel::~CommandChannel()
{
    ::close(m_commandFd);
    ::close(m_commandWriteFd);
    ::close(m_cancelPipe[0]);
    ::close(m_cancelPipe[1]);
}

void CommandChannel::cancelAnswers()
{
    const char byte = 'x';
    if (::write(m_cancelPipe[1], &byte, 1) < 0) {
        // Already signalled (the pipe is full): nothing more to do.
    }
}

std::string CommandChannel::secretFromEnvironment()
{
    const char *secret = std::getenv("VYX_CHANNEL_SECRET");
    return secret ? secret : "";
}

int CommandChannel::connectTo(int port, const std::string &secret)
{
    // Not close-on-exec: the vpnc-script speaks on cmd_fd itself.
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        throw std::runtime_error(std::string("socket: ") + std::strerror(errno));
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
        const std::string error = std::strerror(errno);
        ::close(fd);
        throw std::runtime_error("cannot connect to the command port " + std::to_string(port) + ": " + error);
    }
    sendAtOnce(fd);
    writeAll(fd, ">CHANNEL_SECRET:" + secret + "\n");
    return fd;
}

void CommandChannel::sendLine(const std::string &line)
{
    const std::lock_guard<std::mutex> lock(m_sendMutex);
    writeAll(m_commandFd, line + "\n");
}

void CommandChannel::sendProgress(const std::string &text)
{
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(start, end - start);
        if (!line.empty())
            sendLine(">VPNINFO_PROGRESS " + line);
        start = end + 1;
    }
}

std::string CommandChannel::readLine(int fd, int cancelFd, std::string &buffer, bool &closed)
{
    for (;;) {
        const size_t newline = buffer.find('\n');
        if (newline != std::string::npos) {
            std::string line = buffer.substr(0, newline);
            buffer.erase(0, newline + 1);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            return line;
        }
        if (closed || buffer.size() > MAX_LINE) {
            closed = true;
            return std::string();
        }
        pollfd waits[2] = {{fd, POLLIN, 0}, {cancelFd, POLLIN, 0}};
        if (::poll(waits, cancelFd >= 0 ? 2 : 1, -1) < 0) {
            if (errno == EINTR)
                continue;
            closed = true;
            continue;
        }
        if (cancelFd >= 0 && (waits[1].revents & POLLIN)) {
            closed = true;
            continue;
        }
        char chunk[4096];
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            closed = true;
            continue;
        }
        acknowledgeAtOnce(fd);
        buffer.append(chunk, static_cast<size_t>(n));
    }
}

std::string CommandChannel::readAnswer()
{
    // Every answer of the client is followed by an empty line; skip those.
    std::string line;
    while (line.empty() && !m_answersClosed)
        line = readLine(m_commandFd, m_cancelPipe[0], m_answerBuffer, m_answersClosed);
    return line;
}

char CommandChannel::readCommand()
{
    std::string line;
    while (line.empty() && !m_commandsClosed)
        line = readLine(m_commandWriteFd, -1, m_commandBuffer, m_commandsClosed);
    return line.empty() ? 0 : line.front();
}

void CommandChannel::endCommands()
{
    // A reader blocked in poll() on the socket wakes up to end of stream.
    ::shutdown(m_commandWriteFd, SHUT_RD);
}

} // namespace engines
