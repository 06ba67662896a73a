#pragma once

// One run mode of the program; run() returns the process's exit code.
class AbstractRunnable
{
public:
    virtual ~AbstractRunnable() = default;

    virtual int run() = 0;
};
