#pragma once

#include <QString>

// The folder of this user's own that holds the single-instance server's
// socket and its lock. A name in a folder that others can write to is theirs
// to take, block or remove; this one only its user can.
class PrivateRuntimeDirectory
{
public:
    // The folder for `applicationName`, created when missing; empty, with a
    // log line saying why, when there is none. XDG_RUNTIME_DIR when it is this
    // user's private folder; else "<applicationName>-<uid>" under the
    // temporary path, or the next of a few names after it when a folder of
    // that name is not this user's private one. macOS: the per-user
    // temporary folder.
    static QString locate(const QString &applicationName);

    // True for a folder (not a link) owned by this user with mode 0700.
    static bool isPrivate(const QString &path);

    // Names tried under the temporary path before giving up.
    static constexpr int temporaryNameCount = 4;

private:
    static QString underTemporaryPath(const QString &applicationName);
    static bool createPrivate(const QString &path);
};
