#include "CatalogueGenerator.h"

#include "catalogue/StealthProxyKey.h"

#include <QCryptographicHash>
#include <QFile>
#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>

#include <sodium.h>

#include <stdexcept>

namespace {

const QStringList syntheticCountries = {
    QStringLiteral("USA"), QStringLiteral("CAN"), QStringLiteral("DEU"), QStringLiteral("FRA"),
    QStringLiteral("GBR"), QStringLiteral("JPN"), QStringLiteral("AUS"), QStringLiteral("BRA"),
};

QString text(const QJsonObject &object, const char *key)
{
    return object.value(QLatin1String(key)).toString();
}

QString yesNo(bool value)
{
    return value ? QStringLiteral("YES") : QStringLiteral("NO");
}

// The engine file of a site: its own name unless the description names one
// (sites may share a file).
QString siteFileName(const QJsonObject &site, const QString &protocol)
{
    const QString named = site.value(protocol + QStringLiteral("File")).toString();
    return named.isEmpty() ? CatalogueGenerator::engineFileName(site.value(QLatin1String("country")).toString(),
                                                                site.value(QLatin1String("city")).toString(), protocol)
                           : named;
}

// Generated sites share one pair of engine files per country, so that even
// thousands of them stay within the archive's 1024 members.
QJsonObject syntheticSite(int index)
{
    const QString host = QStringLiteral("syn-%1.vpn.orvalvpn.example").arg(index, 4, 10, QLatin1Char('0'));
    const QString address = QStringLiteral("%1%2").arg(index % 2 ? "198.51.100." : "203.0.113.").arg(index % 250 + 1);
    const QString country = syntheticCountries.at(index % syntheticCountries.size());
    return QJsonObject {
        {"country", country},
        {"udpFile", CatalogueGenerator::engineFileName(country, QStringLiteral("synthetic"), QStringLiteral("udp"))},
        {"tcpFile", CatalogueGenerator::engineFileName(country, QStringLiteral("synthetic"), QStringLiteral("tcp"))},
        {"city", QStringLiteral("City %1").arg(index, 4, 10, QLatin1Char('0'))},
        {"stealth", index % 3 == 0},
        {"bittorrent", index % 2 == 0},
        {"latitude", QString::number(-60 + (index * 7) % 120)},
        {"longitude", QString::number(-170 + (index * 13) % 340)},
        {"servers", QJsonObject {{host, QJsonArray {address}}}},
    };
}

} // namespace

CatalogueGenerator::CatalogueGenerator(const QJsonObject &description, const QDir &directory)
    : m_catalogue(description)
    , m_sourceDir(directory)
{
}

CatalogueGenerator CatalogueGenerator::fromFile(const QString &catalogueFile)
{
    QFile file(catalogueFile);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("can not read " + catalogueFile.toStdString());
    QJsonParseError error {};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (!document.isObject())
        throw std::runtime_error(catalogueFile.toStdString() + ": " + error.errorString().toStdString());
    return CatalogueGenerator(document.object(), QFileInfo(catalogueFile).absoluteDir());
}

int CatalogueGenerator::version() const
{
    return m_catalogue.value(QLatin1String("version")).toInt();
}

QString CatalogueGenerator::engineFileName(const QString &country, const QString &city, const QString &protocol)
{
    QString name = QStringLiteral("%1-%2-%3.conf").arg(country, city, protocol).toLower();
    name.replace(QLatin1Char(' '), QLatin1Char('-'));
    return name;
}

QByteArray CatalogueGenerator::configTxt(int version, const QByteArray &zip, const QString &url)
{
    const QByteArray md5 = QCryptographicHash::hash(zip, QCryptographicHash::Md5).toHex();
    return QByteArray::number(version) + '*' + md5 + '*' + url.toUtf8();
}

QByteArray CatalogueGenerator::encipherStealthProxies(const QByteArray &plain)
{
    const QByteArray nonce = QByteArray::fromBase64(StealthProxyKey::nonceBase64);
    const QByteArray key = QByteArray::fromBase64(StealthProxyKey::keyBase64);
    if (nonce.size() != crypto_stream_salsa20_NONCEBYTES || key.size() != crypto_stream_salsa20_KEYBYTES)
        throw std::runtime_error("stealth-proxy key or nonce of the wrong size");
    QByteArray out(plain.size(), '\0');
    crypto_stream_salsa20_xor(reinterpret_cast<unsigned char *>(out.data()),
                              reinterpret_cast<const unsigned char *>(plain.constData()), quint64(plain.size()),
                              reinterpret_cast<const unsigned char *>(nonce.constData()),
                              reinterpret_cast<const unsigned char *>(key.constData()));
    return out;
}

QJsonArray CatalogueGenerator::sites(const Options &options) const
{
    QJsonArray result;
    if (options.syntheticSites > 0) {
        for (int i = 0; i < options.syntheticSites; ++i)
            result.append(syntheticSite(i));
    } else {
        result = m_catalogue.value(QLatin1String("sites")).toArray();
    }
    if (options.serverName.isEmpty())
        return result;

    QJsonArray addresses;
    for (const QString &address : options.serverAddresses)
        addresses.append(address);
    for (int i = 0; i < result.size(); ++i) {
        QJsonObject site = result.at(i).toObject();
        site.insert(QStringLiteral("servers"), QJsonObject {{options.serverName, addresses}});
        result[i] = site;
    }
    return result;
}

QList<ZipWriter::Member> CatalogueGenerator::members(const Options &options) const
{
    const QJsonObject engine = m_catalogue.value(QLatin1String("engine")).toObject();
    const int udpPort = options.udpPort ? options.udpPort : engine.value(QLatin1String("udpPort")).toInt(1194);
    const int tcpPort = options.tcpPort ? options.tcpPort : engine.value(QLatin1String("tcpPort")).toInt(443);
    const QJsonArray siteList = sites(options);

    QMap<QString, QByteArray> files;
    files.insert(QStringLiteral("configs2.csv"), catalogueCsv(siteList));
    files.insert(QStringLiteral("config5.json"), cipherJson(siteList, options));
    files.insert(QStringLiteral("configs-stealth-proxies.csv"), encipherStealthProxies(stealthProxiesCsv()));
    files.insert(QStringLiteral("dns.json"), dnsJson(siteList));
    QJsonObject openConnect = m_catalogue.value(QLatin1String("openconnect")).toObject();
    if (options.openConnectPort)
        openConnect.insert(QStringLiteral("default"), QJsonObject {{"port", options.openConnectPort}});
    files.insert(QStringLiteral("openconnect.json"), QJsonDocument(openConnect).toJson());
    for (const QJsonValue &name : m_catalogue.value(QLatin1String("files")).toArray())
        files.insert(name.toString(), readSource(name.toString()));

    QJsonObject dedicatedServers =
        m_catalogue.value(QLatin1String("dedicated")).toObject().value(QLatin1String("servers")).toObject();
    if (!options.serverName.isEmpty())
        dedicatedServers =
            siteList.isEmpty() ? QJsonObject() : siteList.first().toObject().value(QLatin1String("servers")).toObject();
    files.insert(QStringLiteral("dedicated-udp.conf"),
                 engineFile(QStringLiteral("udpTemplate"), QStringLiteral("dedicated IP"), dedicatedServers, udpPort));
    files.insert(QStringLiteral("dedicated-tcp.conf"),
                 engineFile(QStringLiteral("tcpTemplate"), QStringLiteral("dedicated IP"), dedicatedServers, tcpPort));

    for (const QJsonValue &value : siteList) {
        const QJsonObject site = value.toObject();
        const QString country = text(site, "country");
        const QString city = text(site, "city");
        const QJsonObject servers = site.value(QLatin1String("servers")).toObject();
        const QString label = country + '-' + city;
        files.insert(siteFileName(site, QStringLiteral("udp")),
                     engineFile(QStringLiteral("udpTemplate"), label, servers, udpPort));
        files.insert(siteFileName(site, QStringLiteral("tcp")),
                     engineFile(QStringLiteral("tcpTemplate"), label, servers, tcpPort));
    }
    for (auto it = options.extraMembers.cbegin(); it != options.extraMembers.cend(); ++it)
        files.insert(it.key(), it.value());

    // The catalogue first: it is what a reader of the archive looks for.
    QList<ZipWriter::Member> result;
    result.append({QStringLiteral("configs2.csv"), files.take(QStringLiteral("configs2.csv")), ZipWriter::Deflated});
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        result.append({it.key(), it.value(), ZipWriter::Deflated});
    return result;
}

QByteArray CatalogueGenerator::catalogueCsv(const QJsonArray &siteList) const
{
    QByteArray csv = "Country;City;TCP;UDP;STEALTH;BITTORRENT;LATITUDE;LONGITUDE\n";
    for (const QJsonValue &value : siteList) {
        const QJsonObject site = value.toObject();
        const QString country = text(site, "country");
        const QString city = text(site, "city");
        const QStringList fields = {
            country,
            city,
            siteFileName(site, QStringLiteral("udp")),
            siteFileName(site, QStringLiteral("tcp")),
            yesNo(site.value(QLatin1String("stealth")).toBool()),
            yesNo(site.value(QLatin1String("bittorrent")).toBool()),
            text(site, "latitude"),
            text(site, "longitude"),
        };
        csv += fields.join(QLatin1Char(';')).toUtf8() + '\n';
    }
    return csv;
}

QByteArray CatalogueGenerator::engineFile(const QString &templateKey, const QString &site, const QJsonObject &servers,
                                          int port) const
{
    const QString templateName = m_catalogue.value(QLatin1String("engine")).toObject().value(templateKey).toString();
    QStringList remotes;
    for (auto it = servers.constBegin(); it != servers.constEnd(); ++it)
        remotes.append(QStringLiteral("remote %1 %2").arg(it.key()).arg(port));
    QString content = QString::fromUtf8(readSource(templateName));
    content.replace(QLatin1String("@SITE@"), site);
    content.replace(QLatin1String("@REMOTES@"), remotes.join(QLatin1Char('\n')));
    return content.toUtf8();
}

QByteArray CatalogueGenerator::stealthProxiesCsv() const
{
    QByteArray csv = "COUNTRY;CITY;HOST;PORT;PASSWORD;METHOD\n";
    for (const QJsonValue &value : m_catalogue.value(QLatin1String("stealthProxies")).toArray()) {
        const QJsonObject proxy = value.toObject();
        const QStringList fields = {
            text(proxy, "country"), text(proxy, "city"),     text(proxy, "host"),
            text(proxy, "port"),    text(proxy, "password"), text(proxy, "method"),
        };
        csv += fields.join(QLatin1Char(';')).toUtf8() + '\n';
    }
    return csv;
}

QByteArray CatalogueGenerator::cipherJson(const QJsonArray &siteList, const Options &options) const
{
    QJsonObject ciphers = m_catalogue.value(QLatin1String("ciphers")).toObject();
    if (options.syntheticSites > 0) {
        // Every fourth generated site carries a list of its own; the others
        // take the default list. Compact, as a big list must stay under the
        // archive's 1 MiB per member.
        const QJsonValue offers =
            ciphers.value(QLatin1String("default")).toObject().value(QLatin1String("supportedCiphers"));
        QJsonObject serverSites;
        for (int i = 0; i < siteList.size(); i += 4) {
            const QJsonObject site = siteList.at(i).toObject();
            QJsonObject cities = serverSites.value(text(site, "country")).toObject();
            cities.insert(text(site, "city"), QJsonObject {{"supportedCiphers", offers}});
            serverSites.insert(text(site, "country"), cities);
        }
        ciphers.insert(QStringLiteral("serverSites"), serverSites);
        return QJsonDocument(ciphers).toJson(QJsonDocument::Compact);
    }
    return QJsonDocument(ciphers).toJson();
}

QByteArray CatalogueGenerator::dnsJson(const QJsonArray &siteList) const
{
    QJsonObject resolve;
    for (const QJsonValue &value : siteList) {
        const QJsonObject servers = value.toObject().value(QLatin1String("servers")).toObject();
        for (auto it = servers.constBegin(); it != servers.constEnd(); ++it) {
            if (QHostAddress(it.key()).isNull())
                resolve.insert(it.key(), it.value());
        }
    }
    return QJsonDocument(QJsonObject {{"resolve", resolve}}).toJson();
}

QByteArray CatalogueGenerator::readSource(const QString &name) const
{
    QFile file(m_sourceDir.absoluteFilePath(name));
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("can not read " + file.fileName().toStdString());
    return file.readAll();
}
