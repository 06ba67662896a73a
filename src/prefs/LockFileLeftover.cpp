#include "prefs/LockFileLeftover.h"

#include <QCoreApplication>
#include <QLockFile>

bool LockFileLeftover::removeIfLeftByThisProcess(const QString &path)
{
    QLockFile lock(path);
    qint64 owner = 0;
    // Removal takes the lock's own file lock first, so a lock that a live
    // object of this process holds stays.
    return lock.getLockInfo(&owner, nullptr, nullptr) && owner == QCoreApplication::applicationPid()
           && lock.removeStaleLockFile();
}
