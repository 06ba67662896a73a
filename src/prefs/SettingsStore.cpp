#include "prefs/Settings.h"

#include "core/GeoLocation.h"
#include "prefs/LockFileLeftover.h"
#include "prefs/PrefsLogging.h"
#include "prefs/SettingsKeys.h"
#include "prefs/UserStatistics.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {
using SettingsKeys::KEY_DNS_STACK;
using SettingsKeys::KEY_SETTING_VERSION;

const char *const KEY_CONFIG_DIR = "config/configDir";
const char *const KEY_INSTALL_ID = "lifecycle/installId";
const char *const KEY_IKS_DISABLED_INTERFACES = "preferences/internet-kill-switch-disabled-interfaces";

const QString LOCATION_PREFIX = QStringLiteral("my-location");

// What the next start or a clean-up run needs to undo a crashed run's changes
// to the system: the DNS stages, the name servers they saved and the services
// the kill switch disabled. A reset keeps them, or those changes could never
// be undone. The store must be outside any group.
QList<QPair<QString, QVariant>> crashRecoveryRecords(const QSettings &store)
{
    QList<QPair<QString, QVariant>> records;
    const QString savedNameServers = QStringLiteral("saved-network-adapter-state/");
    for (const QString &key : store.allKeys()) {
        if (key == QLatin1String(KEY_DNS_STACK) || key == QLatin1String(KEY_IKS_DISABLED_INTERFACES)
            || key.startsWith(savedNameServers))
            records.append({key, store.value(key)});
    }
    return records;
}

// A directory under a writable standard location, created when missing;
// the directory of the empty path when there is none.
QDir writableDirectory(const QString &path, const char *noLocationMessage)
{
    if (path.isEmpty()) {
        qCDebug(lcPrefs) << noLocationMessage;
        return QDir(QString());
    }
    if (!QDir().mkpath(path)) {
        qCDebug(lcPrefs) << "Warning: Can not create " << path;
        return QDir(QString());
    }
    return QDir(path);
}

bool writeAll(int fd, const QByteArray &bytes)
{
    qint64 written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + written, static_cast<size_t>(bytes.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        written += n;
    }
    return true;
}
} // namespace

// Paths and the store itself.

bool Settings::isPreferenceFileWritable() const
{
    return isWritable();
}

// Rewrites the store's file as a new file of the current user, readable and
// writable by the owner only. The new content goes to a temporary file that
// replaces the old one in a single rename, so a failure at any step leaves
// the stored preferences as they were.
bool Settings::recoverPreferenceFilePermission()
{
    const QString path = QSettings::fileName();
    QFile old(path);
    if (!old.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = old.readAll();
    const bool readFailed = old.error() != QFileDevice::NoError;
    old.close();
    if (readFailed)
        return false;

    QByteArray tempPath = QFile::encodeName(path + QStringLiteral(".XXXXXX"));
    const int fd = ::mkstemp(tempPath.data());
    if (fd < 0)
        return false;
    const bool written = ::fchmod(fd, 0600) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(tempPath.constData(), QFile::encodeName(path).constData()) != 0) {
        ::unlink(tempPath.constData());
        return false;
    }
    return true;
}

bool Settings::hasConfigDir() const
{
    return !topLevelValue(QLatin1String(KEY_CONFIG_DIR)).toString().isEmpty();
}

QDir Settings::configDir() const
{
    if (!hasConfigDir())
        qCDebug(lcPrefs) << "Accessing configDir(), but configDir is not set. Call hasConfigDir() first!";
    return QDir(topLevelValue(QLatin1String(KEY_CONFIG_DIR)).toString());
}

QDir Settings::cacheDir()
{
    QString path = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (path.isEmpty()) {
        const QString data = QStandardPaths::writableLocation(QStandardPaths::DataLocation);
        if (!data.isEmpty())
            path = data + QStringLiteral("/cache");
    }
    return writableDirectory(path, "Warning: Can not determine path to a writeable cache location");
}

QDir Settings::qtDataLocation()
{
    return writableDirectory(QStandardPaths::writableLocation(QStandardPaths::DataLocation),
                             "Warning: Can not determine path to a writeable user additional config location");
}

QString Settings::getDocUrl(const QString &document)
{
    return QStringLiteral("file:///") + QCoreApplication::applicationDirPath() + QStringLiteral("/../Resources/doc/")
           + document;
}

void Settings::removeLockLeftByThisProcess()
{
    if (LockFileLeftover::removeIfLeftByThisProcess(QSettings().fileName() + QStringLiteral(".lock")))
        qCDebug(lcPrefs) << "Removed the settings lock left by this process before it was replaced";
}

// Location.

GeoLocation Settings::getMyLocation()
{
    leaveGroup();
    const GeoLocation location = GeoLocation::readFrom(*this, LOCATION_PREFIX);
    enterGroup();
    return location;
}

void Settings::setMyLocation(const GeoLocation &location)
{
    leaveGroup();
    location.writeTo(*this, LOCATION_PREFIX);
    enterGroup();
}

bool Settings::hasMyLocation()
{
    const GeoLocation location = getMyLocation();
    // A stored NaN counts as set: it is not 0.0.
    return !(location.getLatitude() == 0.0) && !(location.getLongitude() == 0.0);
}

// Reset.

void Settings::clear()
{
    const GeoLocation location = getMyLocation();
    leaveGroup();
    const int version = value(QLatin1String(KEY_SETTING_VERSION), 1).toInt();
    const QString installId = text(KEY_INSTALL_ID, QString());
    const QString configDirectory = text(KEY_CONFIG_DIR);
    qCDebug(lcPrefs) << installId;
    const QList<QPair<QString, QVariant>> recoveryRecords = crashRecoveryRecords(*this);

    QSettings::clear();
    for (const auto &record : recoveryRecords)
        setValue(record.first, record.second);

    UserStatistics::initUserStatistics();
    UserStatistics::getUserStatistics().resetStatistics();

    store(KEY_INSTALL_ID, installId);
    store(KEY_CONFIG_DIR, configDirectory);
    store(KEY_SETTING_VERSION, version);
    enterGroup();
    setMyLocation(location);
}
