#include "helper/DeadlineLineReader.h"

#include <cerrno>
#include <climits>
#include <poll.h>
#include <time.h>
#include <unistd.h>

namespace stelvane {

namespace {

long long monotonicMs()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

} // namespace

DeadlineLineReader::DeadlineLineReader(int fd, int timeoutMs, std::size_t maxLineLength)
    : m_fd(fd)
    , m_deadlineMs(monotonicMs() + timeoutMs)
    , m_maxLineLength(maxLineLength)
{
}

long long DeadlineLineReader::remainingMs() const
{
    const long long left = m_deadlineMs - monotonicMs();
    return left > 0 ? left : 0;
}

DeadlineLineReader::Result DeadlineLineReader::readLine(std::string &line)
{
    line.clear();
    for (;;) {
        const long long left = remainingMs();
        if (left == 0)
            return Result::TimedOut;
        pollfd pfd {m_fd, POLLIN, 0};
        const int ready = poll(&pfd, 1, static_cast<int>(left < INT_MAX ? left : INT_MAX));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0)
            return Result::EndOfInput;
        if (ready == 0)
            return Result::TimedOut;
        char c = 0;
        const ssize_t n = read(m_fd, &c, 1);
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (n <= 0)
            return Result::EndOfInput;
        if (c == '\n')
            return Result::Line;
        if (line.size() >= m_maxLineLength)
            return Result::TooLong;
        line += c;
    }
}

} // namespace stelvane
