// Stands in for a hostile OpenVPN plugin: as soon as a process loads it, it
// writes that process's identity beside itself, to "<its own path>.ran".
#include <cstdio>
#include <dlfcn.h>
#include <string>
#include <unistd.h>

namespace {

__attribute__((constructor)) void reportIdentity()
{
    Dl_info info {};
    if (dladdr(reinterpret_cast<void *>(&reportIdentity), &info) == 0 || info.dli_fname == nullptr)
        return;
    const std::string path = std::string(info.dli_fname) + ".ran";
    if (FILE *file = std::fopen(path.c_str(), "w")) {
        std::fprintf(file, "uid=%d euid=%d gid=%d\n", static_cast<int>(getuid()), static_cast<int>(geteuid()),
                     static_cast<int>(getgid()));
        std::fclose(file);
    }
}

} // namespace
