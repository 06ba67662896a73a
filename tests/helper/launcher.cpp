// Stands in for the client in helper tests: copied into a test bundle as its
// main executable, it starts the program named by its first argument with the
// remaining ones (standard input inherited) and ends with that program's status.
// With STELVANE_TEST_LISTEN set to comma-separated ports it first listens at
// each on 127.0.0.1, as the client listens before it has an engine started.
#include <arpa/inet.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

bool listenAt(int port)
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<unsigned short>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return fd >= 0 && setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) == 0
           && bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0 && listen(fd, 8) == 0;
}

bool listenAtAll(const char *ports)
{
    for (const char *next = ports; next && *next; next = std::strchr(next, ',')) {
        if (*next == ',')
            ++next;
        if (!listenAt(std::atoi(next))) {
            std::perror("listen");
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PROGRAM [ARGUMENT...]\n", argv[0]);
        return 2;
    }
    if (!listenAtAll(std::getenv("STELVANE_TEST_LISTEN")))
        return 2;
    const pid_t child = fork();
    if (child < 0)
        return 2;
    if (child == 0) {
        char *environment[] = {nullptr};
        execve(argv[1], argv + 1, environment);
        std::perror("execve");
        _exit(127);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
