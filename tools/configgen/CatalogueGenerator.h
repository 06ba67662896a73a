#pragma once

#include "ZipWriter.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QString>

// Turns a catalogue description (catalogue.json, see src/resources/config)
// into the members of a configuration archive: configs2.csv, one OpenVPN file
// per site and protocol, config5.json, the enciphered stealth-proxy list,
// dns.json, openconnect.json, the dedicated-IP files and the key files.
class CatalogueGenerator
{
public:
    struct Options
    {
        // When set, every site is reached through this one server (name and
        // addresses), as an end-to-end test catalogue needs.
        QString serverName;
        QStringList serverAddresses;
        int udpPort = 0; // 0: the catalogue's own port
        int tcpPort = 0;
        int openConnectPort = 0; // 0: the catalogue's own
        // When above 0, the catalogue's sites are replaced by this many
        // generated ones; every fourth has its own list of cipher offers.
        int syntheticSites = 0;
        // Members added or replaced verbatim, by name.
        QMap<QString, QByteArray> extraMembers;
    };

    // Throws std::runtime_error when the description or a file it names
    // cannot be read.
    CatalogueGenerator(const QJsonObject &catalogue, const QDir &sourceDir);
    static CatalogueGenerator fromFile(const QString &catalogueFile);

    QList<ZipWriter::Member> members(const Options &options) const;
    int version() const;

    static QByteArray encipherStealthProxies(const QByteArray &plain);
    static QString engineFileName(const QString &country, const QString &city, const QString &protocol);
    // "version*md5*url", without a line feed.
    static QByteArray configTxt(int version, const QByteArray &zip, const QString &url);

private:
    QJsonArray sites(const Options &options) const;
    QByteArray catalogueCsv(const QJsonArray &sites) const;
    QByteArray engineFile(const QString &templateKey, const QString &site, const QJsonObject &servers, int port) const;
    QByteArray stealthProxiesCsv() const;
    QByteArray cipherJson(const QJsonArray &sites, const Options &options) const;
    QByteArray dnsJson(const QJsonArray &sites) const;
    QByteArray readSource(const QString &name) const;

    QJsonObject m_catalogue;
    QDir m_sourceDir;
};
