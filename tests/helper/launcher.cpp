// Stands in for the client in helper tests: copied into a test bundle as its
// main executable, it starts the program named by its first argument with the
// remaining ones (standard input inherited) and ends with that program's status.
#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PROGRAM [ARGUMENT...]\n", argv[0]);
        return 2;
    }
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
