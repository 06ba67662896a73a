#pragma once

#include <QString>

// A process image that replaced this one (the clean-up run started from a
// termination signal keeps the process id) may find a lock file of the old
// image still naming this process; Qt takes such a lock for a live one.
class LockFileLeftover
{
public:
    // Removes the lock file at `path` when it names this process and no one
    // holds it, and only then; true when it was removed.
    static bool removeIfLeftByThisProcess(const QString &path);
};
