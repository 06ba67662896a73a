#include "catalogue/ConfigTxt.h"

#include "catalogue/CanNotParseConfigTxtException.h"

#include <QDebug>
#include <QSettings>

ConfigTxt::ConfigTxt(const QByteArray &text)
    : raw(text)
{
}

void ConfigTxt::execute()
{
    version = 0;
    md5sum = QString();
    url = QUrl();

    const QList<QByteArray> parts = raw.split('*');
    if (parts.size() != 3) {
        qDebug() << "config.txt must have exactly 3 fields" << raw;
        throw CanNotParseConfigTxtException(QStringLiteral("config.txt must have exactly 3 fields"));
    }

    bool ok = false;
    const int parsedVersion = parts[0].toInt(&ok, 10);
    if (!ok) {
        qDebug() << "Error parsing version: " << parts[0];
        throw CanNotParseConfigTxtException(QStringLiteral("Invalid version: %1").arg(QString::fromUtf8(parts[0])));
    }
    version = parsedVersion;
    md5sum = QString::fromUtf8(parts[1]);

    const QUrl parsedUrl(QString::fromUtf8(parts[2]), QUrl::TolerantMode);
    if (!parsedUrl.isValid()) {
        qDebug() << "Error parsing url to config.zip: " << parts[2];
        throw CanNotParseConfigTxtException(QStringLiteral("Invalid URL to config.zip: %1").arg(QString::fromUtf8(parts[2])));
    }
    url = parsedUrl;
}

int ConfigTxt::getVersion() const
{
    return version;
}

QString ConfigTxt::getMd5sum() const
{
    return md5sum;
}

QUrl ConfigTxt::getUrlOfConfigZip() const
{
    return url;
}

bool ConfigTxt::isNewVersion() const
{
    const QSettings settings;
    bool ok = false;
    const int installed = settings.value(QStringLiteral("config/version"), 0).toInt(&ok);
    if (!ok) {
        qDebug() << "Can not read current version, triggering download of config.zip";
        return true;
    }
    if (version <= installed) {
        qDebug() << "No new config.zip version available";
        return false;
    }
    qDebug() << QStringLiteral("Detected version increment (%1 > %2), triggering download of config.zip").arg(version).arg(installed);
    return true;
}
