#pragma once
// The macOS process-information call, answered from /proc on Linux.
#include <cstdint>

#define PROC_PIDPATHINFO_MAXSIZE 4096

// Writes the absolute path of the executable of process `pid` into `buffer`
// (NUL-terminated) and returns its length; 0 on failure with errno set.
extern "C" int proc_pidpath(int pid, void *buffer, uint32_t buffersize);
