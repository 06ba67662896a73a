#include "openvpn/Lock.h"

#include "openvpn/EngineLogging.h"
#include "openvpn/Lockable.h"

#include <QDebug>

Lock::Lock(Lockable *lockable)
    : QObject(lockable)
{
}

Lockable *Lock::lockable() const
{
    return static_cast<Lockable *>(parent());
}

bool Lock::takeActive()
{
    if (!m_active) {
        qCDebug(lcEngine) << metaObject()->className() << "was already aborted or released";
        return false;
    }
    m_active = false;
    return true;
}

void Lock::abort()
{
    if (!takeActive())
        return;
    lockable()->markAborted();
    lockable()->dropLock();
}

void Lock::release()
{
    if (takeActive())
        lockable()->dropLock();
}
