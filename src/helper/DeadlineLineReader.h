#pragma once
#include <cstddef>
#include <string>

namespace stelvane {

// Reads lines from a descriptor one byte at a time (so nothing past the last
// line read is consumed) under one deadline for all reads and a length cap per
// line, so a caller that never writes or never ends a line cannot hold the
// helper or make it buffer without bound.
class DeadlineLineReader
{
public:
    enum class Result { Line, EndOfInput, TimedOut, TooLong };

    DeadlineLineReader(int fd, int timeoutMs, std::size_t maxLineLength);

    // The line without its "\n" in `line`; what was read before the end of
    // input or the deadline is kept there too.
    Result readLine(std::string &line);

private:
    long long remainingMs() const;

    int m_fd;
    long long m_deadlineMs;
    std::size_t m_maxLineLength;
};

} // namespace stelvane
