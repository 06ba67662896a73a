#include "catalogue/ConfigTxt.h"

#include "catalogue/CanNotParseConfigTxtException.h"
#include "catalogue/CatalogueLogging.h"

#include <QDebug>
#include <QSettings>

ConfigTxt::ConfigTxt(const QByteArray &text)
    : m_raw(text)
{
}

void ConfigTxt::execute()
{
    m_version = 0;
    m_md5sum = QString();
    m_url = QUrl();

    const QList<QByteArray> parts = m_raw.split('*');
    if (parts.size() != 3) {
        qCDebug(lcCatalogue) << "config.txt must have exactly 3 fields" << m_raw;
        throw CanNotParseConfigTxtException(QStringLiteral("config.txt must have exactly 3 fields"));
    }

    bool ok = false;
    const int parsedVersion = parts[0].toInt(&ok, 10);
    if (!ok) {
        qCDebug(lcCatalogue) << "Error parsing version: " << parts[0];
        throw CanNotParseConfigTxtException(QStringLiteral("Invalid version: %1").arg(QString::fromUtf8(parts[0])));
    }
    m_version = parsedVersion;
    m_md5sum = QString::fromUtf8(parts[1]);

    const QUrl parsedUrl(QString::fromUtf8(parts[2]), QUrl::TolerantMode);
    if (!parsedUrl.isValid()) {
        qCDebug(lcCatalogue) << "Error parsing url to config.zip: " << parts[2];
        throw CanNotParseConfigTxtException(
            QStringLiteral("Invalid URL to config.zip: %1").arg(QString::fromUtf8(parts[2])));
    }
    m_url = parsedUrl;
}

int ConfigTxt::getVersion() const
{
    return m_version;
}

QString ConfigTxt::getMd5sum() const
{
    return m_md5sum;
}

QUrl ConfigTxt::getUrlOfConfigZip() const
{
    return m_url;
}

bool ConfigTxt::isNewVersion() const
{
    const QSettings settings;
    bool ok = false;
    const int installed = settings.value(QStringLiteral("config/version"), 0).toInt(&ok);
    if (!ok) {
        qCDebug(lcCatalogue) << "Can not read current version, triggering download of config.zip";
        return true;
    }
    if (m_version <= installed) {
        qCDebug(lcCatalogue) << "No new config.zip version available";
        return false;
    }
    qCDebug(lcCatalogue) << QStringLiteral("Detected version increment (%1 > %2), triggering download of config.zip")
                                .arg(m_version)
                                .arg(installed);
    return true;
}
