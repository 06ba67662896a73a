#include "helper/AbstractExecCommand.h"

#include "helper/ExecFailedException.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace stelvane {

namespace {

std::vector<char *> argumentVector(const std::string &program, const std::list<std::string> &arguments)
{
    std::vector<char *> argv;
    argv.push_back(const_cast<char *>(program.c_str()));
    for (const std::string &argument : arguments)
        argv.push_back(const_cast<char *>(argument.c_str()));
    argv.push_back(nullptr);
    return argv;
}

} // namespace

void AbstractExecCommand::becomeRoot(const std::string &program, const std::list<std::string> &arguments)
{
    // Set-uid gives only the effective identity; shells and other programs
    // drop it when the real one differs, so take root whole. Group and umask
    // must not come from the caller either.
    umask(022);
    if (geteuid() != 0)
        return;
    if (setgroups(0, nullptr) != 0 || setresgid(0, 0, 0) != 0 || setresuid(0, 0, 0) != 0)
        throw ExecFailedException(program, arguments, std::strerror(errno));
}

void AbstractExecCommand::exec(const std::string &program, const std::list<std::string> &arguments)
{
    becomeRoot(program, arguments);
    std::vector<char *> argv = argumentVector(program, arguments);
    char *environment[] = {nullptr};
    execve(program.c_str(), argv.data(), environment);
    throw ExecFailedException(program, arguments, std::strerror(errno));
}

void AbstractExecCommand::exec(int fd, const std::string &program, const std::list<std::string> &arguments,
                               const std::list<std::string> &environment)
{
    becomeRoot(program, arguments);
    // A script's interpreter opens it again through /proc/self/fd, so the
    // descriptor must survive the exec; a binary needs it no longer.
    char magic[2] = {};
    if (pread(fd, magic, sizeof magic, 0) != sizeof magic || magic[0] != '#' || magic[1] != '!')
        fcntl(fd, F_SETFD, FD_CLOEXEC);
    std::vector<char *> argv = argumentVector(program, arguments);
    std::vector<char *> envp;
    for (const std::string &entry : environment)
        envp.push_back(const_cast<char *>(entry.c_str()));
    envp.push_back(nullptr);
    fexecve(fd, argv.data(), envp.data());
    throw ExecFailedException(program, arguments, std::strerror(errno));
}

} // namespace stelvane
