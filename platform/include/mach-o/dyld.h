#pragma once
// The macOS "path of my own executable" call, answered from /proc on Linux.
#include <cstdint>

// Copies the path into `buf` and returns 0; when `*bufsize` is too small it
// stores the size needed in `*bufsize` and returns -1.
extern "C" int _NSGetExecutablePath(char *buf, uint32_t *bufsize);
