#pragma once

// Finds a loopback TCP port for a local transport program to accept on.
class LocalPortProbe
{
public:
    static constexpr int FIRST = 10000;
    static constexpr int LAST = 20000;

    // A port in [FIRST, LAST] that could be bound on 127.0.0.1 just now,
    // tried from a random start; 0 when every port of the range is taken.
    static int freePort();
    static bool isFree(int port);
};
