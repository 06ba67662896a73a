#include "prefs/Settings.h"

#include "prefs/OwnerOnlyFile.h"

#include <QDir>
#include <QFileInfo>

namespace {
const QString PREFERENCES_GROUP = QStringLiteral("preferences");

// Credentials live in this file: it is created owner-only before the store
// first writes it; later writes replace it atomically and keep its mode.
void createStoreFileOwnerOnly(const QString &path)
{
    if (path.isEmpty() || QFileInfo::exists(path))
        return;
    QDir().mkpath(QFileInfo(path).absolutePath());
    OwnerOnlyFile::createIfMissing(path);
}
} // namespace

Settings::Settings()
    : QSettings()
{
    createStoreFileOwnerOnly(QSettings::fileName());
    enterGroup();
}

Settings::Settings(const QString &fileName)
    : QSettings(fileName, QSettings::IniFormat)
{
    createStoreFileOwnerOnly(QSettings::fileName());
    enterGroup();
}

Settings &Settings::readPosition() const
{
    return const_cast<Settings &>(*this);
}

void Settings::leaveGroup() const
{
    readPosition().endGroup();
}

void Settings::enterGroup() const
{
    readPosition().beginGroup(PREFERENCES_GROUP);
}

bool Settings::flag(const char *key, bool defaultValue) const
{
    return value(QLatin1String(key), defaultValue).toBool();
}

QString Settings::text(const char *key, const QString &defaultValue) const
{
    return value(QLatin1String(key), defaultValue).toString();
}

QStringList Settings::textList(const char *key) const
{
    return value(QLatin1String(key)).toStringList();
}

void Settings::store(const char *key, const QVariant &newValue)
{
    setValue(QLatin1String(key), newValue);
}

// Top-level keys: leave "preferences" for the one access and come back.

QVariant Settings::topLevelValue(const QString &key, const QVariant &defaultValue) const
{
    leaveGroup();
    const QVariant result = value(key, defaultValue);
    enterGroup();
    return result;
}

void Settings::setTopLevelValue(const QString &key, const QVariant &newValue)
{
    leaveGroup();
    setValue(key, newValue);
    enterGroup();
}

bool Settings::containsTopLevel(const QString &key)
{
    leaveGroup();
    const bool has = contains(key);
    enterGroup();
    return has;
}

void Settings::removeTopLevel(const QString &key)
{
    leaveGroup();
    remove(key);
    enterGroup();
}

void Settings::clearTopLevelGroup(const QString &group)
{
    beginGroup(group);
    remove(QString());
    endGroup();
}
