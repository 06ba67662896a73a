#include "openvpn/HoldLock.h"

#include "openvpn/Hold.h"

#include <QDebug>

HoldLock::HoldLock(Hold* hold)
    : QObject(hold)
{
}

Hold* HoldLock::getHold() const
{
    return static_cast<Hold*>(parent());
}

bool HoldLock::takeActive()
{
    if (!active) {
        qDebug() << "HoldLock was already aborted or released";
        return false;
    }
    active = false;
    return true;
}

void HoldLock::abort()
{
    if (!takeActive())
        return;
    getHold()->markAborted();
    getHold()->holdRelease();
}

void HoldLock::release()
{
    if (takeActive())
        getHold()->holdRelease();
}
