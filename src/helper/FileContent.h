#pragma once
#include <cstddef>
#include <string>

namespace stelvane {

// Whole reads and writes on an open descriptor, through interruptions and
// short transfers.
class FileContent
{
public:
    // Appends everything up to the end of `fd` to `content`; false on a read
    // error or once `content` would exceed `maxSize`.
    static bool readAll(int fd, std::string &content, std::size_t maxSize);
    // Writes all of `data`; false on a write error.
    static bool writeAll(int fd, const std::string &data);
};

} // namespace stelvane
