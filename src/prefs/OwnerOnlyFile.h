#pragma once

#include <QString>

// Files and folders that hold what no other user may read: the preferences
// with the remembered login, the logs with the engine's dialogue.
class OwnerOnlyFile
{
public:
    // Creates the empty file, readable and writable by its owner only, in an
    // existing folder; an existing file is left as it is.
    static void createIfMissing(const QString &path);
    // Takes every permission of the group and of others away from an existing
    // file or folder, which an older build may have left readable.
    static void restrictToOwner(const QString &path);
};
