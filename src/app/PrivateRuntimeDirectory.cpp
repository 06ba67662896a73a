#include "app/PrivateRuntimeDirectory.h"

#include "app/AppLogging.h"
#include "app/SafeFolderPath.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
QString systemError(const QString &path)
{
    return path + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
}

// The folder itself, never what a link leads to.
int openFolder(const QString &path)
{
    return ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

bool isPrivate(int fd)
{
    struct stat st
    {};
    return ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 07777) == 0700;
}

// What keeps the open folder at `path` from being made this user's private
// one; empty once it is, mode 0700. One that others can or could write to
// may hold what they put there: it is not taken.
QString makePrivate(int fd, const QString &path)
{
    struct stat st
    {};
    if (::fstat(fd, &st) != 0)
        return systemError(path);
    if (st.st_uid != ::geteuid())
        return QStringLiteral("%1 belongs to another user (uid %2)").arg(path).arg(st.st_uid);
    if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return QStringLiteral("%1 is writable by others than you (%2)").arg(path, SafeFolderPath::modeText(st.st_mode));
    // Also what the umask took when it was made.
    if (::fchmod(fd, 0700) != 0 || !isPrivate(fd))
        return path + QStringLiteral(" cannot be given mode 0700");
    return {};
}

// Why `path` could not be opened as a folder.
QString notOpened(const QString &path)
{
    const QString error = systemError(path);
    struct stat st
    {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0 || S_ISDIR(st.st_mode))
        return error;
    return path + (S_ISLNK(st.st_mode) ? QStringLiteral(" is a link") : QStringLiteral(" is not a folder"));
}

// Makes the folder, or takes the one of that name when it is already this
// user's; a link or a file is never used.
QString makePrivate(const QString &path)
{
    if (::mkdir(QFile::encodeName(path).constData(), 0700) != 0 && errno != EEXIST)
        return systemError(path);
    const int fd = openFolder(path);
    if (fd < 0)
        return notOpened(path);
    const QString problem = makePrivate(fd, path);
    ::close(fd);
    return problem;
}

// $XDG_CACHE_HOME when absolute (a relative one is ignored, as the XDG rules
// say), else <home>/.cache; empty when there is no absolute home.
QString cacheFolder()
{
    const QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (QDir::isAbsolutePath(cache))
        return QDir::cleanPath(cache);
    QString home = qEnvironmentVariable("HOME");
    if (home.isEmpty()) {
        const passwd *entry = ::getpwuid(::geteuid());
        if (entry && entry->pw_dir)
            home = QFile::decodeName(entry->pw_dir);
    }
    return QDir::isAbsolutePath(home) ? QDir::cleanPath(home) + QStringLiteral("/.cache") : QString();
}

#ifdef __APPLE__
QString temporaryFolderOfThisUser()
{
    char buffer[PATH_MAX];
    const size_t length = ::confstr(_CS_DARWIN_USER_TEMP_DIR, buffer, sizeof buffer);
    return length > 0 && length <= sizeof buffer ? QDir::cleanPath(QFile::decodeName(buffer)) : QString();
}
#endif
} // namespace

PrivateRuntimeDirectory::PrivateRuntimeDirectory(const QString &applicationName, const QString &socketName)
    : m_applicationName(applicationName)
    , m_socketName(socketName)
{
#ifdef __APPLE__
    const QString folder = temporaryFolderOfThisUser();
    if (isPrivate(folder))
        use(folder, QStringLiteral("the per-user temporary folder"));
    else
        m_problems
            << QStringLiteral("the per-user temporary folder %1 is not a folder of yours with mode 0700").arg(folder);
#else
    if (!useRuntimeFolder())
        useCacheFolder();
#endif
    if (m_path.isEmpty())
        qCDebug(lcApp).noquote() << "Single instance:" << problem();
}

QString PrivateRuntimeDirectory::path() const
{
    return m_path;
}

QString PrivateRuntimeDirectory::socketPath() const
{
    return m_path.isEmpty() ? QString() : SafeFolderPath::join(m_path, m_socketName);
}

QString PrivateRuntimeDirectory::problem() const
{
    if (!m_path.isEmpty())
        return {};
    return QStringLiteral("%1 cannot start: it has no private folder for its single-instance socket: %2.")
        .arg(m_applicationName, m_problems.join(QStringLiteral("; ")));
}

bool PrivateRuntimeDirectory::isPrivate(const QString &path)
{
    const int fd = openFolder(path);
    if (fd < 0)
        return false;
    const bool result = ::isPrivate(fd);
    ::close(fd);
    return result;
}

// Given by the login session, on a local file system, gone at log-out.
bool PrivateRuntimeDirectory::useRuntimeFolder()
{
    const QString where = QStringLiteral("XDG_RUNTIME_DIR");
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (runtime.isEmpty()) {
        m_problems << QStringLiteral("XDG_RUNTIME_DIR is not set");
        return false;
    }
    if (!QDir::isAbsolutePath(runtime)) {
        m_problems << QStringLiteral("XDG_RUNTIME_DIR (%1) is not an absolute path").arg(runtime);
        return false;
    }
    const QFileInfo folder(QDir::cleanPath(runtime));
    const SafeFolderPath above(folder.path(), SafeFolderPath::Missing::Refuse);
    if (above.path().isEmpty()) {
        m_problems << where + QStringLiteral(": ") + above.problem();
        return false;
    }
    const QString resolved = SafeFolderPath::join(above.path(), folder.fileName());
    if (!isPrivate(resolved)) {
        m_problems << QStringLiteral(
                          "XDG_RUNTIME_DIR %1 is not a folder of yours with mode 0700 (a link is not followed)")
                          .arg(runtime);
        return false;
    }
    return use(resolved, where);
}

bool PrivateRuntimeDirectory::useCacheFolder()
{
    const QString cache = cacheFolder();
    if (cache.isEmpty()) {
        m_problems << QStringLiteral("no cache folder: neither XDG_CACHE_HOME nor the home folder (HOME, else the user "
                                     "database's) is an absolute path");
        return false;
    }
    const QString where = QStringLiteral("the cache folder ") + cache;
    const SafeFolderPath safe(cache, SafeFolderPath::Missing::Make);
    if (safe.path().isEmpty()) {
        m_problems << where + QStringLiteral(": ") + safe.problem();
        return false;
    }
    const QString folder = SafeFolderPath::join(safe.path(), m_applicationName + QStringLiteral("-run"));
    const QString problem = makePrivate(folder);
    if (!problem.isEmpty()) {
        m_problems << where + QStringLiteral(": ") + problem;
        return false;
    }
    return use(folder, where);
}

// A local socket's address holds a path of only so many bytes.
bool PrivateRuntimeDirectory::use(const QString &folder, const QString &where)
{
    const QByteArray socket = QFile::encodeName(SafeFolderPath::join(folder, m_socketName));
    const int room = int(sizeof(sockaddr_un::sun_path)) - 1;
    if (socket.size() > room) {
        m_problems << QStringLiteral("%1: the socket's path %2 is longer than the %3 bytes a local socket's may be")
                          .arg(where, QFile::decodeName(socket))
                          .arg(room);
        return false;
    }
    m_path = folder;
    return true;
}
