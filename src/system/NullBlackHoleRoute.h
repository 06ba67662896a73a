#pragma once

#include "system/BlackHoleRoute.h"

// No routes at all.
class NullBlackHoleRoute : public BlackHoleRoute
{
public:
    bool isActive() const override { return false; }
};
