#include "ServiceRecordStore.h"

#include "StandIn.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <regex>
#include <sys/stat.h>
#include <unistd.h>

namespace standins {

namespace {

// Far above any record: a bigger file is no record of ours.
const off_t MOST_BYTES = 256 * 1024;

bool isName(const std::string &name)
{
    static const std::regex allowed("[A-Za-z0-9][A-Za-z0-9._-]{0,127}");
    return std::regex_match(name, allowed);
}

// Owned by the user this runs as (root), and nobody else may change it.
bool ownOnly(const struct stat &status, mode_t forbidden)
{
    return status.st_uid == ::geteuid() && (status.st_mode & forbidden) == 0;
}

} // namespace

const char *const ServiceRecordStore::DIRECTORY = "/run/orval-networksetup";

ServiceRecordStore::ServiceRecordStore(std::string directory)
    : m_directory(std::move(directory))
{
}

ServiceRecordStore::~ServiceRecordStore()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool ServiceRecordStore::open(std::string &error)
{
    if (::mkdir(m_directory.c_str(), 0700) != 0 && errno != EEXIST) {
        error = "cannot make " + m_directory + ": " + std::strerror(errno);
        return false;
    }
    const int fd = ::open(m_directory.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        error = "cannot open " + m_directory + ": " + std::strerror(errno);
        return false;
    }
    struct stat status
    {};
    if (::fstat(fd, &status) != 0 || !S_ISDIR(status.st_mode) || !ownOnly(status, 077)) {
        ::close(fd);
        error = m_directory + " is not a folder of root's alone";
        return false;
    }
    m_fd = fd;
    return true;
}

bool ServiceRecordStore::save(const std::string &name, const std::string &content, std::string &error) const
{
    if (m_fd < 0 || !isName(name)) {
        error = "no record may be kept under " + name;
        return false;
    }
    const std::string partial = "." + name + "." + std::to_string(::getpid());
    const int fd = ::openat(m_fd, partial.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = "cannot write in " + m_directory + ": " + std::strerror(errno);
        return false;
    }
    const bool written = writeAll(fd, content);
    const int saved = errno;
    if (::close(fd) == 0 && written && ::renameat(m_fd, partial.c_str(), m_fd, name.c_str()) == 0)
        return true;
    error = "cannot write in " + m_directory + ": " + std::strerror(written ? errno : saved);
    ::unlinkat(m_fd, partial.c_str(), 0);
    return false;
}

bool ServiceRecordStore::load(const std::string &name, std::string &content) const
{
    if (m_fd < 0 || !isName(name))
        return false;
    const int fd = ::openat(m_fd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat status
    {};
    bool ok =
        ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && ownOnly(status, 022) && status.st_size <= MOST_BYTES;
    content.clear();
    char buffer[4096];
    while (ok) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        content.append(buffer, static_cast<size_t>(n));
        ok = content.size() <= static_cast<size_t>(MOST_BYTES);
    }
    ::close(fd);
    return ok;
}

void ServiceRecordStore::remove(const std::string &name) const
{
    if (m_fd >= 0 && isName(name))
        ::unlinkat(m_fd, name.c_str(), 0);
}

std::vector<std::string> ServiceRecordStore::names(const std::string &prefix) const
{
    std::vector<std::string> found;
    const int fd = m_fd < 0 ? -1 : ::dup(m_fd);
    DIR *directory = fd < 0 ? nullptr : ::fdopendir(fd);
    if (!directory) {
        if (fd >= 0)
            ::close(fd);
        return found;
    }
    ::rewinddir(directory);
    while (const dirent *entry = ::readdir(directory)) {
        const std::string name = entry->d_name;
        if (isName(name) && name.compare(0, prefix.size(), prefix) == 0)
            found.push_back(name);
    }
    ::closedir(directory);
    return found;
}

} // namespace standins
