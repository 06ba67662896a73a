#include "helper/EngineFiles.h"

#include "helper/CallerRights.h"
#include "helper/FileContent.h"
#include "helper/IllegalArgumentException.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace stelvane {

EngineFiles::EngineFiles(const std::string &directory)
{
    const CallerRights callerRights("PathToConfigDir");
    char resolved[PATH_MAX];
    struct stat info
    {};
    if (directory.empty() || directory.front() != '/' || realpath(directory.c_str(), resolved) == nullptr
        || stat(resolved, &info) != 0 || !S_ISDIR(info.st_mode))
        throw IllegalArgumentException("PathToConfigDir", directory);
    m_directory = resolved;
}

EngineFiles::~EngineFiles()
{
    for (const int fd : m_copies)
        close(fd);
}

bool EngineFiles::read(const std::string &name, std::string &content, std::string &refusal) const
{
    const CallerRights callerRights("configFile");
    char resolved[PATH_MAX];
    const std::string path = !name.empty() && name.front() == '/' ? name : m_directory + "/" + name;
    if (name.empty() || realpath(path.c_str(), resolved) == nullptr) {
        refusal = errno == EACCES ? "not readable by the caller" : "not found";
        return false;
    }
    const std::string canonical = resolved;
    if (canonical.compare(0, m_directory.size() + 1, m_directory + "/") != 0) {
        refusal = "outside the configuration directory";
        return false;
    }
    const int fd = open(canonical.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0 && errno == EACCES) {
        refusal = "not readable by the caller";
        return false;
    }
    struct stat info
    {};
    if (fd < 0 || fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)
        || static_cast<std::size_t>(info.st_size) > MAX_SIZE) {
        if (fd >= 0)
            close(fd);
        refusal = "not a regular file of at most 1 MiB";
        return false;
    }
    content.clear();
    const bool complete = FileContent::readAll(fd, content, MAX_SIZE);
    close(fd);
    if (!complete) {
        refusal = "unreadable";
        return false;
    }
    return true;
}

std::string EngineFiles::read(const std::string &name, const char *argument) const
{
    std::string content;
    std::string refusal;
    if (!read(name, content, refusal))
        throw IllegalArgumentException(argument, name + " (" + refusal + ")");
    return content;
}

std::string EngineFiles::seal(const std::string &content)
{
    const int fd = memfd_create("engine-file", MFD_ALLOW_SEALING);
    if (fd < 0)
        return std::string();
    if (!FileContent::writeAll(fd, content)
        || fcntl(fd, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE | F_SEAL_SEAL) != 0) {
        close(fd);
        return std::string();
    }
    m_copies.push_back(fd);
    return "/proc/self/fd/" + std::to_string(fd);
}

bool EngineFiles::sealedCopy(const std::string &name, std::string &enginePath, std::string &refusal)
{
    std::string content;
    if (!read(name, content, refusal))
        return false;
    enginePath = seal(content);
    if (enginePath.empty())
        refusal = std::strerror(errno);
    return !enginePath.empty();
}

std::string EngineFiles::sealedCopy(const std::string &name, const char *argument)
{
    std::string enginePath;
    std::string refusal;
    if (!sealedCopy(name, enginePath, refusal))
        throw IllegalArgumentException(argument, name + " (" + refusal + ")");
    return enginePath;
}

} // namespace stelvane
