#include <libproc.h>
#include <mach-o/dyld.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

// The kernel's own record of the running image: already absolute and free of
// symbolic links, which is what the macOS calls return.
ssize_t readExecutableLink(const std::string &link, char *buffer, size_t size)
{
    if (size < 2) {
        errno = ENOMEM;
        return -1;
    }
    const ssize_t n = readlink(link.c_str(), buffer, size - 1);
    if (n < 0)
        return -1;
    if (static_cast<size_t>(n) >= size - 1) {
        errno = ENAMETOOLONG;
        return -1;
    }
    buffer[n] = '\0';
    return n;
}

} // namespace

extern "C" int proc_pidpath(int pid, void *buffer, uint32_t buffersize)
{
    if (pid <= 0 || buffer == nullptr) {
        errno = ESRCH;
        return 0;
    }
    const ssize_t n =
        readExecutableLink("/proc/" + std::to_string(pid) + "/exe", static_cast<char *>(buffer), buffersize);
    return n > 0 ? static_cast<int>(n) : 0;
}

extern "C" int _NSGetExecutablePath(char *buf, uint32_t *bufsize)
{
    char path[PROC_PIDPATHINFO_MAXSIZE];
    const ssize_t n = readExecutableLink("/proc/self/exe", path, sizeof path);
    if (n <= 0)
        return -1;
    if (static_cast<uint32_t>(n) + 1 > *bufsize) {
        *bufsize = static_cast<uint32_t>(n) + 1;
        return -1;
    }
    std::memcpy(buf, path, static_cast<size_t>(n) + 1);
    return 0;
}
