#include "app/SafeFolderPath.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <climits>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// As many as the kernel follows in one path.
constexpr int maximumLinks = 40;

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

bool ofRootOrThisUser(const struct stat &st)
{
    return st.st_uid == 0 || st.st_uid == ::geteuid();
}

// What keeps `path` from being a safe folder to go through; empty when it is one.
QString unsafeFolder(const QString &path, const struct stat &st)
{
    if (!S_ISDIR(st.st_mode))
        return path + QStringLiteral(" is not a folder");
    if (!ofRootOrThisUser(st))
        return QStringLiteral("%1 belongs to another user (uid %2)").arg(path).arg(st.st_uid);
    if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0 && (st.st_mode & S_ISVTX) == 0)
        return QStringLiteral("%1 is writable by others than its owner (%2)")
            .arg(path, SafeFolderPath::modeText(st.st_mode));
    return {};
}

QString linkTarget(const QString &link)
{
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink(native(link).constData(), buffer, sizeof buffer);
    return length > 0 && size_t(length) < sizeof buffer ? QFile::decodeName(QByteArray(buffer, int(length)))
                                                        : QString();
}

bool makeFolder(const QString &path)
{
    if (::mkdir(native(path).constData(), 0700) != 0)
        return errno == EEXIST;
    // The umask may have taken the owner's rights too.
    return ::chmod(native(path).constData(), 0700) == 0;
}
} // namespace

SafeFolderPath::SafeFolderPath(const QString &path, Missing missing)
    : m_missing(missing)
{
    if (resolve(path))
        m_path = m_reached.isEmpty() ? QStringLiteral("/") : m_reached;
}

QString SafeFolderPath::path() const
{
    return m_path;
}

QString SafeFolderPath::problem() const
{
    return m_problem;
}

QString SafeFolderPath::join(const QString &folder, const QString &name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

QString SafeFolderPath::modeText(unsigned mode)
{
    return QStringLiteral("mode ") + QString::number(mode & 07777, 8).rightJustified(4, QLatin1Char('0'));
}

bool SafeFolderPath::resolve(const QString &path)
{
    if (!QDir::isAbsolutePath(path))
        return fail(path + QStringLiteral(" is not an absolute path"));
    struct stat st
    {};
    if (!look(QStringLiteral("/"), st))
        return false;
    const QString root = unsafeFolder(QStringLiteral("/"), st);
    if (!root.isEmpty())
        return fail(root);
    m_pending = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    while (!m_pending.isEmpty()) {
        if (!step(m_pending.takeFirst()))
            return false;
    }
    return true;
}

bool SafeFolderPath::step(const QString &name)
{
    if (name == QLatin1String("."))
        return true;
    // What is reached has no links: the folder above it is its parent.
    if (name == QLatin1String("..")) {
        m_reached.truncate(qMax(0, m_reached.lastIndexOf(QLatin1Char('/'))));
        return true;
    }
    const QString next = m_reached + QLatin1Char('/') + name;
    struct stat st
    {};
    if (!look(next, st))
        return false;
    if (S_ISLNK(st.st_mode))
        return follow(next, st);
    const QString unsafe = unsafeFolder(next, st);
    if (!unsafe.isEmpty())
        return fail(unsafe);
    m_reached = next;
    return true;
}

// Only one step below a folder found safe, so a folder made here stays this user's.
bool SafeFolderPath::look(const QString &path, struct stat &st)
{
    if (::lstat(native(path).constData(), &st) == 0)
        return true;
    if (errno == ENOENT && m_missing == Missing::Make && makeFolder(path)
        && ::lstat(native(path).constData(), &st) == 0)
        return true;
    return fail(path + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno)));
}

bool SafeFolderPath::follow(const QString &link, const struct stat &st)
{
    if (!ofRootOrThisUser(st))
        return fail(QStringLiteral("%1 is a link of another user (uid %2)").arg(link).arg(st.st_uid));
    if (++m_links > maximumLinks)
        return fail(link + QStringLiteral(" leads through too many links"));
    const QString target = linkTarget(link);
    if (target.isEmpty())
        return fail(link + QStringLiteral(": the link cannot be read"));
    if (QDir::isAbsolutePath(target))
        m_reached.clear();
    m_pending = target.split(QLatin1Char('/'), Qt::SkipEmptyParts) + m_pending;
    return true;
}

bool SafeFolderPath::fail(const QString &problem)
{
    m_problem = problem;
    return false;
}
