#pragma once

// Blocks DNS traffic that leaves outside the tunnel for as long as the
// object lives: releasing the last reference ends the blocking.
class OutsideDnsBlokerAbstract
{
public:
    virtual ~OutsideDnsBlokerAbstract() = default;
};
