#pragma once

// Installs the configuration archive built into the program when none is
// installed or the built-in one is newer. Failures are logged, never thrown.
class LocalConfigSource
{
public:
    LocalConfigSource();

    void execute();
};
