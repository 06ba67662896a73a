#pragma once

// Black-hole routes that exist exactly as long as the object: added when it is
// made, removed when it is destroyed. Holders share it by pointer.
class BlackHoleRoute
{
public:
    virtual ~BlackHoleRoute() = default;
    virtual bool isActive() const = 0;
};
