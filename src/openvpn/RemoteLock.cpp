#include "openvpn/RemoteLock.h"

#include "openvpn/Remote.h"

#include <QDebug>

RemoteLock::RemoteLock(Remote* remote)
    : QObject(remote)
{
}

Remote* RemoteLock::getRemote() const
{
    return static_cast<Remote*>(parent());
}

bool RemoteLock::takeActive()
{
    if (!active) {
        qDebug() << "RemoteLock was already aborted or released";
        return false;
    }
    active = false;
    return true;
}

void RemoteLock::abort()
{
    if (!takeActive())
        return;
    getRemote()->markAborted();
    qDebug() << "Remote: aborting a RemoteLock";
    getRemote()->remoteRelease();
}

void RemoteLock::release()
{
    if (takeActive())
        getRemote()->remoteRelease();
}
