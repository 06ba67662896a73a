#include "catalogue/HalvorixConfig.h"

#include "catalogue/CatalogueCsv.h"
#include "catalogue/CatalogueLogging.h"
#include "catalogue/ConfigJson.h"
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
} // namespace

const QString HalvorixConfig::CATALOGUE_FILE = QStringLiteral("configs2.csv");
const QString HalvorixConfig::STEALTH_PROXIES_FILE = QStringLiteral("configs-stealth-proxies.csv");

QList<HalvorixServerSite> HalvorixConfig::getServerSites()
{
    Settings settings;
    QList<HalvorixServerSite> sites = settings.serverSitesWithDedicatedIp();
    if (!settings.hasConfigDir()) {
        qCDebug(lcCatalogue) << "FATAL: configDir not set";
        return sites;
    }
    const QDir configDir = settings.configDir();
    QFile file(configDir.absoluteFilePath(CATALOGUE_FILE));
    if (!file.open(QIODevice::ReadOnly)) {
        qCDebug(lcCatalogue).noquote() << "FATAL: can not read " + file.fileName();
        return sites;
    }
    const QByteArray content = file.readAll();
    file.close();

    const ConfigJson ciphers(settings);
    for (const CatalogueCsv::Row &row : CatalogueCsv::rows(content)) {
        const QStringList &f = row.fields;
        if (f.size() < 6) {
            // A blank line is no row; anything else this short names no site.
            if (!row.line.isEmpty())
                qCDebug(lcCatalogue).noquote() << QStringLiteral("Skipping line %1 of %2: %3 fields")
                                                      .arg(row.lineNumber)
                                                      .arg(CATALOGUE_FILE)
                                                      .arg(f.size());
            continue;
        }
        const GeoLocation location = f.size() >= 8 ? toGeoLocation(f[6], f[7]) : GeoLocation(0, 0, QString());
        sites.append(HalvorixServerSite::publicServerSite(f[0], f[1], f[2], f[3], toBool(f[4]), toBool(f[5]), configDir,
                                                          ciphers.getCipherListFromJson(f[0], f[1]), location,
                                                          settings));
    }
    return sites;
}

HalvorixServerSitesList HalvorixConfig::getServerSitesList()
{
    return HalvorixServerSitesList(getServerSites());
}

QStringList HalvorixConfig::getHostNamesFromHalvorixServerSites()
{
    const HalvorixServerSitesList sites = getServerSitesList();
    QStringList hosts;
    for (int i = 0; i < sites.size(); ++i)
        hosts += sites[i].getRemoteServers(sites[i].getOpenVpnConfigFile(HalvorixServerSite::UDP));
    return hosts;
}

QList<StealthProxy> HalvorixConfig::getStealthProxies()
{
    Settings settings;
    if (!settings.hasConfigDir()) {
        qCWarning(lcCatalogue) << "WARNING: configDir not set";
        return {};
    }
    QFile file(settings.configDir().absoluteFilePath(STEALTH_PROXIES_FILE));
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcCatalogue).noquote() << "WARNING: Can't open " + file.fileName();
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
            qCWarning(lcCatalogue).noquote() << QStringLiteral("Can't parse %1, line %2: %3; context: %4")
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
        qCDebug(lcCatalogue).noquote() << "Invalid value for latitude: " + latitude;
    if (!longitudeOk)
        qCDebug(lcCatalogue).noquote() << "Invalid value for longitude: " + longitude;
    if (latitudeOk && longitudeOk)
        return GeoLocation(lat, lon, QString());
    return GeoLocation(0, 0, QString());
}
