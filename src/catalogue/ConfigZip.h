#pragma once

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QStringList>

class QTemporaryDir;
class zip_archive;

// Installs one configuration archive into the "configs" directory of the
// per-user data location and records its directory, version and checksum.
//
// The install is all or nothing: every member is checked and unpacked into a
// staging directory first, then swapped in with the replaced files kept aside,
// and any failure puts the old files back. Members with names that could reach
// outside the directory are refused before anything is written.
class ConfigZip
{
public:
    ConfigZip(const QByteArray &archive, const QString &md5sum, int version);
    virtual ~ConfigZip();

    // A checksum mismatch installs nothing and returns normally; every other
    // failure throws ConfigZipWriteException and leaves the installed files
    // and settings as they were.
    void execute();

    static bool isAcceptableMemberName(const QString &name);

protected:
    // Seams for the failures the platform gives no way to provoke.
    virtual QString writableDataLocation() const;
    virtual bool enterDirectory(QDir &dir, const QString &path) const;

private:
    bool checksumMatches() const;
    QDir prepareConfigsDir(bool &created) const;
    QStringList stageMembers(const zip_archive &zip, const QDir &configsDir, const QDir &staging) const;
    void replaceMembers(const QStringList &names, const QDir &configsDir, const QDir &staging) const;
    void recordInstallation(const QDir &configsDir) const;

    QByteArray m_archive;
    QString m_md5sum;
    int m_version;
};
