// Stands in for the client's loopback listeners in helper tests, run as the
// user the test calls the helper for, so that the listeners belong to that
// user: listens on COUNT free ports of 127.0.0.1, prints "ports P1 P2 ...",
// then accepts every connection, holds it open without a word and prints
// "accepted P" for it. Ends when its standard input does.
#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

int listenOnLoopback(int &port)
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 || listen(fd, 8) != 0
        || getsockname(fd, reinterpret_cast<sockaddr *>(&address), &size) != 0)
        return -1;
    port = ntohs(address.sin_port);
    return fd;
}

} // namespace

int main(int argc, char **argv)
{
    const int count = argc == 2 ? std::atoi(argv[1]) : 0;
    if (count < 1 || count > 8) {
        std::fprintf(stderr, "usage: %s COUNT\n", argv[0]);
        return 2;
    }
    std::vector<pollfd> watched {{STDIN_FILENO, POLLIN, 0}};
    std::vector<int> ports {0};
    std::printf("ports");
    for (int i = 0; i < count; ++i) {
        int port = 0;
        const int fd = listenOnLoopback(port);
        if (fd < 0) {
            std::perror("listen");
            return 1;
        }
        watched.push_back({fd, POLLIN, 0});
        ports.push_back(port);
        std::printf(" %d", port);
    }
    std::printf("\n");
    std::fflush(stdout);
    std::vector<int> held;
    for (;;) {
        if (poll(watched.data(), watched.size(), -1) < 0) {
            if (errno == EINTR)
                continue;
            return 1;
        }
        if (watched[0].revents) {
            char buffer[64];
            if (read(STDIN_FILENO, buffer, sizeof buffer) <= 0)
                return 0;
        }
        for (size_t i = 1; i < watched.size(); ++i) {
            if (!(watched[i].revents & POLLIN))
                continue;
            const int connection = accept4(watched[i].fd, nullptr, nullptr, SOCK_CLOEXEC);
            if (connection >= 0) {
                held.push_back(connection);
                std::printf("accepted %d\n", ports[i]);
                std::fflush(stdout);
            }
        }
    }
}
