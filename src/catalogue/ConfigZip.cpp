#include "catalogue/ConfigZip.h"

#include "catalogue/CatalogueLogging.h"
#include "catalogue/ConfigZipWriteException.h"
#include "catalogue/zip_archive.h"
#include "catalogue/zip_exception.h"

#include <QCryptographicHash>
#include <QDebug>
#include <QFile>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace {

const QString unzipFailed = QStringLiteral("FATAL: Can not unzip the data");

[[noreturn]] void fail(const QString &logLine, const QString &message)
{
    qCDebug(lcCatalogue).noquote() << logLine;
    throw ConfigZipWriteException(message);
}

bool renameOver(const QString &from, const QString &to)
{
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

// Keeps the current file aside without ever leaving the target missing.
bool keepAside(const QString &target, const QString &backup)
{
    if (::link(QFile::encodeName(target).constData(), QFile::encodeName(backup).constData()) == 0)
        return true;
    return QFile::copy(target, backup);
}

} // namespace

ConfigZip::ConfigZip(const QByteArray &bytes, const QString &expectedMd5sum, int archiveVersion)
    : m_archive(bytes)
    , m_md5sum(expectedMd5sum)
    , m_version(archiveVersion)
{
}

ConfigZip::~ConfigZip() = default;

bool ConfigZip::isAcceptableMemberName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && !name.contains(QLatin1Char('/'))
           && !name.contains(QLatin1Char('\\')) && !name.contains(QLatin1String(".."));
}

QString ConfigZip::writableDataLocation() const
{
    return QStandardPaths::writableLocation(QStandardPaths::DataLocation);
}

bool ConfigZip::enterDirectory(QDir &dir, const QString &path) const
{
    return dir.cd(path);
}

void ConfigZip::execute()
{
    qCDebug(lcCatalogue) << "ConfigZip/execute: size of config.zip:" << m_archive.size();
    if (!checksumMatches())
        return;

    bool createdConfigsDir = false;
    const QDir configsDir = prepareConfigsDir(createdConfigsDir);
    qCDebug(lcCatalogue).noquote() << "ConfigZip/execute: configsDir=" + configsDir.absolutePath();

    try {
        const QString stagingTemplate =
            QFileInfo(configsDir.absolutePath()).path() + QStringLiteral("/configs-staging-XXXXXX");
        QTemporaryDir staging(stagingTemplate);
        if (!staging.isValid())
            fail("ConfigZip/execute: Can not create " + stagingTemplate, "Can not create " + stagingTemplate);
        const QDir stagingDir(staging.path());

        QStringList names;
        try {
            const zip_archive zip(m_archive);
            names = stageMembers(zip, configsDir, stagingDir);
        } catch (const zip_exception &) {
            fail(unzipFailed, unzipFailed);
        }
        replaceMembers(names, configsDir, stagingDir);
    } catch (const ConfigZipWriteException &) {
        // A directory made for this attempt alone would make the failed
        // install look like an installed configuration.
        if (createdConfigsDir)
            QDir().rmdir(configsDir.absolutePath());
        throw;
    }
    recordInstallation(configsDir);
}

bool ConfigZip::checksumMatches() const
{
    const QString actual = QString::fromLatin1(QCryptographicHash::hash(m_archive, QCryptographicHash::Md5).toHex());
    if (actual == m_md5sum)
        return true;
    qCDebug(lcCatalogue) << "ConfigZip/execute: MD5 check failed, keeping current config!";
    qCDebug(lcCatalogue).noquote() << "ConfigZip/execute: expected: " + m_md5sum;
    qCDebug(lcCatalogue).noquote() << "ConfigZip/execute: actual:   " + actual;
    return false;
}

QDir ConfigZip::prepareConfigsDir(bool &created) const
{
    const QString location = writableDataLocation();
    if (location.isEmpty()) {
        fail(QStringLiteral("ConfigZip/execute: Can not determine path to a writeable data location"),
             QStringLiteral("Can not determine path to a writeable data location"));
    }
    const QString path = location + QStringLiteral("/configs");
    created = !QFileInfo::exists(path);
    if (!QDir().mkpath(path))
        fail("ConfigZip/execute: Can not create " + path, "Can not create " + path);
    QDir dir;
    if (!enterDirectory(dir, path)) {
        if (created)
            QDir().rmdir(path);
        fail("ConfigZip/execute: Can not cd into " + path, "Can not cd into " + path);
    }
    return dir;
}

QStringList ConfigZip::stageMembers(const zip_archive &zip, const QDir &configsDir, const QDir &staging) const
{
    for (const zip_file &file : zip.files) {
        if (!isAcceptableMemberName(file.name)) {
            fail("FATAL: Refusing member name of config.zip: \"" + file.name + '"',
                 "FATAL: Refusing member name of config.zip: " + file.name);
        }
    }

    QStringList names;
    for (const zip_file &file : zip.files) {
        qCDebug(lcCatalogue).noquote() << "unpacking " + file.name;
        const QByteArray bytes = zip.get_file_data(file);
        const QString target = configsDir.absoluteFilePath(file.name);

        QSaveFile out(staging.absoluteFilePath(file.name));
        if (!out.open(QIODevice::WriteOnly)) {
            fail(QStringLiteral("FATAL: Can not open file for writing: %1 - Error: %2").arg(target).arg(out.error()),
                 "FATAL: Can not open file for writing: " + target);
        }
        // Qt 5's commit() does not notice a failed flush of buffered bytes and
        // would install a truncated file: flush first and check it.
        if (out.write(bytes) != bytes.size() || !out.flush() || !out.commit()) {
            fail(QStringLiteral("FATAL: Can not write to file: %1 - Error: %2").arg(target).arg(out.error()),
                 "FATAL: Can not write to file: " + target);
        }
        if (!names.contains(file.name))
            names.append(file.name);
    }
    return names;
}

void ConfigZip::replaceMembers(const QStringList &names, const QDir &configsDir, const QDir &staging) const
{
    const QString backupPath = staging.absoluteFilePath(QStringLiteral(".replaced"));
    if (!names.isEmpty() && !QDir().mkdir(backupPath))
        fail("ConfigZip/execute: Can not create " + backupPath, "Can not create " + backupPath);
    const QDir backups(backupPath);

    QStringList replaced;
    QStringList added;
    for (const QString &name : names) {
        const QString target = configsDir.absoluteFilePath(name);
        const bool existed = QFileInfo::exists(target) || QFileInfo(target).isSymLink();
        const bool keptAside = !existed || keepAside(target, backups.absoluteFilePath(name));
        if (keptAside && renameOver(staging.absoluteFilePath(name), target)) {
            (existed ? replaced : added).append(name);
            continue;
        }

        const int error = errno;
        for (const QString &done : qAsConst(replaced)) {
            if (!renameOver(backups.absoluteFilePath(done), configsDir.absoluteFilePath(done)))
                qCWarning(lcCatalogue).noquote()
                    << "ConfigZip/execute: Can not restore " + configsDir.absoluteFilePath(done);
        }
        for (const QString &done : qAsConst(added))
            QFile::remove(configsDir.absoluteFilePath(done));
        fail(QStringLiteral("FATAL: Can not write to file: %1 - Error: %2").arg(target).arg(error),
             "FATAL: Can not write to file: " + target);
    }
}

void ConfigZip::recordInstallation(const QDir &configsDir) const
{
    QSettings settings;
    settings.setValue(QStringLiteral("config/configDir"), configsDir.absolutePath());
    settings.setValue(QStringLiteral("config/version"), m_version);
    settings.setValue(QStringLiteral("config/md5sum"), m_md5sum);
    settings.sync();
}
