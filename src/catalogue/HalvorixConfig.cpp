#include "catalogue/HalvorixConfig.h"

#include "catalogue/CatalogueCsv.h"
#include "catalogue/Salsa20.h"
#include "catalogue/StealthProxyKey.h"
#include "prefs/Settings.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSettings>

#include <exception>

namespace {
const QString configDirKey = QStringLiteral("config/configDir");

QString recordedConfigDir(const QSettings &settings)
{
    return settings.value(configDirKey).toString();
}
}

const QString HalvorixConfig::STEALTH_PROXIES_FILE = QStringLiteral("configs-stealth-proxies.csv");

QList<StealthProxy> HalvorixConfig::getStealthProxies()
{
    Settings settings;
    if (!settings.hasConfigDir()) {
        qWarning() << "WARNING: configDir not set";
        return {};
    }
    QFile file(settings.configDir().absoluteFilePath(STEALTH_PROXIES_FILE));
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning().noquote() << "WARNING: Can't open " + file.fileName();
        return {};
    }
    const QByteArray enciphered = file.readAll();
    file.close();

    const Salsa20 cipher = Salsa20::createSalsa20(QByteArray::fromBase64(StealthProxyKey::nonceBase64),
                                                  QByteArray::fromBase64(StealthProxyKey::keyBase64));
    return readStealthProxies(cipher.crypt(enciphered));
}

QList<StealthProxy> HalvorixConfig::readStealthProxies(const QByteArray &plain)
{
    QList<StealthProxy> proxies;
    for (const CatalogueCsv::Row &row : CatalogueCsv::rows(plain)) {
        const auto field = [&row](int i) { return row.fields.value(i, QString()); };
        try {
            proxies.append(StealthProxy(field(0), field(1), field(2), field(3), field(4), field(5)));
        } catch (const std::exception &e) {
            qWarning().noquote() << QStringLiteral("Can't parse %1, line %2: %3; context: %4")
                                        .arg(STEALTH_PROXIES_FILE)
                                        .arg(row.lineNumber)
                                        .arg(QString::fromUtf8(e.what()), row.line);
        }
    }
    return proxies;
}

bool HalvorixConfig::hasValidConfig()
{
    const QSettings settings;
    const QString dir = recordedConfigDir(settings);
    return !dir.isEmpty() && QFileInfo(dir).isDir();
}

void HalvorixConfig::remove()
{
    QSettings settings;
    const QString dir = recordedConfigDir(settings);
    if (dir.isEmpty() || !QFileInfo(dir).isDir())
        return;
    QDir(dir).removeRecursively();
    settings.remove(configDirKey);
    settings.remove(QStringLiteral("config/version"));
    settings.remove(QStringLiteral("config/md5sum"));
    settings.sync();
}

bool HalvorixConfig::toBool(const QString &text)
{
    const QString upper = text.toUpper();
    return upper == QLatin1String("YES") || upper == QLatin1String("TRUE");
}

GeoLocation HalvorixConfig::toGeoLocation(const QString &latitude, const QString &longitude)
{
    const QLocale c = QLocale::c();
    bool latitudeOk = false;
    bool longitudeOk = false;
    const double lat = c.toDouble(latitude, &latitudeOk);
    const double lon = c.toDouble(longitude, &longitudeOk);
    if (!latitudeOk)
        qDebug().noquote() << "Invalid value for latitude: " + latitude;
    if (!longitudeOk)
        qDebug().noquote() << "Invalid value for longitude: " + longitude;
    if (latitudeOk && longitudeOk)
        return GeoLocation(lat, lon, QString());
    return GeoLocation(0, 0, QString());
}
