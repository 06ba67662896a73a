#pragma once
#include <string>

namespace stelvane {

// Whether only root can change what a path leads to: a program the helper runs
// as root must be safe from everyone else, and so must every directory on the
// way to it, or another user could put a program of their own in its place.
class RootOnlyPath
{
public:
    // The first part of the absolute `path` (the file itself, then each
    // directory up to "/") that another user could change, with the reason;
    // an empty string when there is none or the file does not exist (then
    // nothing runs). Each part must be root's and writable by no group and no
    // one else, a directory with the sticky bit (/tmp) excepted, in which
    // others cannot rename or remove what root owns. Symbolic links are not
    // followed: each one is refused.
    static std::string unsafePart(const std::string &path);
};

} // namespace stelvane
