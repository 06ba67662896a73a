#pragma once
#include "openvpn/Lock.h"

class Hold;

// One handler's claim on a Hold. Only its first release() or abort() counts.
class HoldLock : public Lock
{
    Q_OBJECT

public:
    explicit HoldLock(Hold *hold);

    virtual Hold *getHold() const;
};
