#pragma once
#include "openvpn/Lockable.h"

class HoldLock;

// The engine's ">HOLD:" pause. Any number of handlers may lock it; when the
// last lock goes, exactly one of abort() or release() is emitted.
class Hold : public Lockable
{
    Q_OBJECT

public:
    Hold(int number, QObject *parent);
    ~Hold() override;

    // A new active lock, owned by this hold.
    HoldLock *operator()();
    void holdRelease();
    int getNumber() const;

private:
    int m_number;
};
