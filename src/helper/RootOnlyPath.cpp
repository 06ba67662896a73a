#include "helper/RootOnlyPath.h"

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>

namespace stelvane {

namespace {

std::string describe(const std::string &path, const struct stat &info)
{
    char details[64];
    std::snprintf(details, sizeof details, " (owner %u, mode %04o)", static_cast<unsigned>(info.st_uid),
                  static_cast<unsigned>(info.st_mode & 07777));
    return path + details;
}

} // namespace

std::string RootOnlyPath::unsafePart(const std::string &path)
{
    if (path.empty() || path.front() != '/')
        return path + " (not an absolute path)";
    struct stat info
    {};
    if (lstat(path.c_str(), &info) != 0)
        return errno == ENOENT ? std::string() : path + " (cannot be looked at)";
    std::string part = path;
    for (bool file = true;; file = false) {
        if (S_ISLNK(info.st_mode))
            return part + " (a symbolic link)";
        if (file ? !S_ISREG(info.st_mode) : !S_ISDIR(info.st_mode))
            return describe(part, info);
        const bool othersWrite = (info.st_mode & (S_IWGRP | S_IWOTH)) != 0;
        const bool sticky = !file && (info.st_mode & S_ISVTX) != 0;
        if (info.st_uid != 0 || (othersWrite && !sticky))
            return describe(part, info);
        if (part == "/")
            return std::string();
        const std::size_t slash = part.find_last_of('/');
        part = slash == 0 ? "/" : part.substr(0, slash);
        if (lstat(part.c_str(), &info) != 0)
            return part + " (cannot be looked at)";
    }
}

} // namespace stelvane
