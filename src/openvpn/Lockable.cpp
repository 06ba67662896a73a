#include "openvpn/Lockable.h"

Lockable::Lockable(QObject* parent)
    : QObject(parent)
{
}

void Lockable::addLock()
{
    lockCount.ref();
}

void Lockable::markAborted()
{
    aborted = true;
}

void Lockable::dropLock()
{
    if (lockCount.deref())
        return;
    if (aborted)
        emit abort();
    else
        emit release();
}
