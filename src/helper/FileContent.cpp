#include "helper/FileContent.h"

#include <cerrno>
#include <unistd.h>

namespace stelvane {

bool FileContent::readAll(int fd, std::string &content, std::size_t maxSize)
{
    char buffer[65536];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n == 0;
        content.append(buffer, static_cast<std::size_t>(n));
        if (content.size() > maxSize)
            return false;
    }
}

bool FileContent::writeAll(int fd, const std::string &data)
{
    std::size_t written = 0;
    while (written < data.size()) {
        const ssize_t n = write(fd, data.data() + written, data.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        written += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace stelvane
