#pragma once

#include <QDateTime>
#include <QFileInfo>
#include <QHostAddress>
#include <QJsonObject>
#include <QList>

class QFile;

// The fallback table from server host names to addresses: dns.json from the
// configuration archive, dns_local.json as refreshed by the client itself.
class DnsJson
{
public:
    static QFileInfo getDnsjsonFileInfo();
    static QFileInfo getLocalDnsjsonFileInfo();
    static DnsJson getDefaultDnsJson();
    static DnsJson getLocalDnsCache();
    static bool isLocalDNSCachePresent();
    // True when no cache is left: it was absent or has been deleted.
    static bool cleanLocalDNSCache();
    static void purgeDNSCacheIfNecessary();
    static QByteArray readFile(QFile &file);

    void init(const QByteArray &json);
    void updateDnsList(const QString &host, const QList<QHostAddress> &addresses);
    void updateLastModifiedTimestamp();
    void saveToLocalCache() const;

    QList<QHostAddress> resolve(const QString &host) const;
    QDateTime lastUpdate() const;

private:
    static DnsJson readFrom(const QFileInfo &file);

    QJsonObject m_table;
};
