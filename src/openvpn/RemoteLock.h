#pragma once
#include "openvpn/Lock.h"

class Remote;

// One handler's claim on a Remote. Only its first release() or abort() counts.
class RemoteLock : public Lock
{
    Q_OBJECT

public:
    explicit RemoteLock(Remote *remote);

    virtual Remote *getRemote() const;
};
