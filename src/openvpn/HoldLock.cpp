#include "openvpn/HoldLock.h"

#include "openvpn/Hold.h"

HoldLock::HoldLock(Hold *hold)
    : Lock(hold)
{
}

Hold *HoldLock::getHold() const
{
    return static_cast<Hold *>(parent());
}
