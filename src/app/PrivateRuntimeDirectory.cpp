#include "app/PrivateRuntimeDirectory.h"

#include "app/AppLogging.h"

#include <QDebug>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
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
} // namespace

QString PrivateRuntimeDirectory::locate(const QString &applicationName)
{
#ifdef __APPLE__
    Q_UNUSED(applicationName)
    char buffer[PATH_MAX];
    const size_t length = ::confstr(_CS_DARWIN_USER_TEMP_DIR, buffer, sizeof buffer);
    const QString folder =
        length > 0 && length <= sizeof buffer ? QDir::cleanPath(QFile::decodeName(buffer)) : QString();
    if (isPrivate(folder))
        return folder;
    qCDebug(lcApp) << "Single instance: the per-user temporary folder is not private:" << folder;
    return QString();
#else
    const QString runtime = QDir::cleanPath(qEnvironmentVariable("XDG_RUNTIME_DIR"));
    if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime)) {
        if (isPrivate(runtime))
            return runtime;
        qCDebug(lcApp) << "Single instance: XDG_RUNTIME_DIR is not a private folder of this user:" << runtime;
    }
    return underTemporaryPath(applicationName);
#endif
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

QString PrivateRuntimeDirectory::underTemporaryPath(const QString &applicationName)
{
    const QString base =
        QDir::tempPath() + QLatin1Char('/') + applicationName + QLatin1Char('-') + QString::number(::geteuid());
    for (int i = 0; i < temporaryNameCount; ++i) {
        const QString candidate = i == 0 ? base : base + QLatin1Char('-') + QString::number(i);
        if (createPrivate(candidate))
            return candidate;
        qCDebug(lcApp) << "Single instance: not a private folder of this user, another name is tried:" << candidate;
    }
    qCDebug(lcApp) << "Single instance: no private folder for the server name under" << QDir::tempPath();
    return QString();
}

// Makes the folder, or takes the one of that name when it is already this
// user's private folder; another's folder, a link or a file is never used.
bool PrivateRuntimeDirectory::createPrivate(const QString &path)
{
    const bool created = ::mkdir(QFile::encodeName(path).constData(), 0700) == 0;
    if (!created && errno != EEXIST)
        return false;
    const int fd = openFolder(path);
    if (fd < 0)
        return false;
    // The umask may have taken more than the group's and others' rights.
    if (created)
        ::fchmod(fd, 0700);
    const bool result = ::isPrivate(fd);
    ::close(fd);
    return result;
}
