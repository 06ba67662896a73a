#pragma once

#include <QString>
#include <QStringList>

// The folder of this user's own that holds the single-instance server's
// socket and its lock. A name in a folder that others can write to is theirs
// to take, block or remove first; this one only its user and root can.
class PrivateRuntimeDirectory
{
public:
    // Finds the folder for the socket `socketName` of `applicationName`:
    // XDG_RUNTIME_DIR when it is an absolute path, not a link, this user's own
    // folder with mode 0700, on a safe path (SafeFolderPath: no folder on it
    // that another user could change); else "<applicationName>-run" in
    // this user's cache folder ($XDG_CACHE_HOME when absolute, else
    // <home>/.cache with $HOME, or the user database's home when HOME is
    // unset), which is made 0700 when missing (and the folders up to it) and
    // must then be this user's, not a link, not writable by others and on a
    // safe path; its mode is set to 0700. Neither is taken when the socket's
    // path would be too long for a local socket. Nothing in the shared
    // temporary folder is ever used. macOS: the per-user temporary folder.
    PrivateRuntimeDirectory(const QString &applicationName, const QString &socketName);

    // The folder; empty when there is none.
    QString path() const;
    // The socket's full path in it; empty when there is no folder.
    QString socketPath() const;
    // Why there is no folder, for the user: each place looked at and what is
    // wrong with it. Empty when there is one.
    QString problem() const;

    // True for a folder (not a link) owned by this user with mode 0700.
    static bool isPrivate(const QString &path);

private:
    bool useRuntimeFolder();
    bool useCacheFolder();
    bool use(const QString &folder, const QString &where);

    const QString m_applicationName;
    const QString m_socketName;
    QString m_path;
    QStringList m_problems;
};
