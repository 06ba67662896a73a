#pragma once

#include "catalogue/DnsJson.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

// An isolated store whose configuration directory and cache are throw-away.
class DnsTestStore
{
public:
    DnsTestStore()
    {
        QCoreApplication::setOrganizationName(QStringLiteral("OrvalVPN-tests"));
        QCoreApplication::setApplicationName(QStringLiteral("dns-tests"));
        QSettings().setValue(QStringLiteral("config/configDir"), m_configDir.path());
        DnsJson::cleanLocalDNSCache();
    }

    QString configDir() const { return m_configDir.path(); }

    static void writeLocalCache(const QByteArray &json)
    {
        QFile file(DnsJson::getLocalDnsjsonFileInfo().absoluteFilePath());
        file.open(QIODevice::WriteOnly);
        file.write(json);
    }

    static QByteArray localCacheText()
    {
        QFile file(DnsJson::getLocalDnsjsonFileInfo().absoluteFilePath());
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }

private:
    QTemporaryDir m_configDir;
};
