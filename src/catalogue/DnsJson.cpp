#include "catalogue/DnsJson.h"

#include "catalogue/CatalogueLogging.h"
#include "prefs/Settings.h"

#include <QDebug>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include <cstdio>

namespace {

const QString RESOLVE = QStringLiteral("resolve");
const QString LAST_UPDATE = QStringLiteral("last-update");

} // namespace

QFileInfo DnsJson::getDnsjsonFileInfo()
{
    return QFileInfo(Settings().configDir().absoluteFilePath(QStringLiteral("dns.json")));
}

QFileInfo DnsJson::getLocalDnsjsonFileInfo()
{
    return QFileInfo(Settings::cacheDir().absoluteFilePath(QStringLiteral("dns_local.json")));
}

DnsJson DnsJson::getDefaultDnsJson()
{
    return readFrom(getDnsjsonFileInfo());
}

DnsJson DnsJson::getLocalDnsCache()
{
    return readFrom(getLocalDnsjsonFileInfo());
}

bool DnsJson::isLocalDNSCachePresent()
{
    return getLocalDnsjsonFileInfo().exists();
}

bool DnsJson::cleanLocalDNSCache()
{
    const QFileInfo cache = getLocalDnsjsonFileInfo();
    return !cache.exists() || QFile::remove(cache.absoluteFilePath());
}

void DnsJson::purgeDNSCacheIfNecessary()
{
    cleanLocalDNSCache();
}

QByteArray DnsJson::readFile(QFile &file)
{
    if (!file.open(QIODevice::ReadOnly)) {
        qCDebug(lcCatalogue) << QStringLiteral(
                                    "DnsJson: Can not open %1 in ReadOnly mode, fallback IPs are not available")
                                    .arg(file.fileName());
        return QByteArray();
    }
    return file.readAll();
}

DnsJson DnsJson::readFrom(const QFileInfo &info)
{
    QFile file(info.absoluteFilePath());
    DnsJson table;
    table.init(readFile(file));
    return table;
}

void DnsJson::init(const QByteArray &json)
{
    m_table = QJsonDocument::fromJson(json).object();
}

void DnsJson::updateDnsList(const QString &host, const QList<QHostAddress> &addresses)
{
    QJsonObject resolve = m_table.value(RESOLVE).toObject();
    if (addresses.isEmpty()) {
        resolve.remove(host);
    } else {
        QJsonArray texts;
        for (const QHostAddress &address : addresses)
            texts.append(address.toString());
        resolve.insert(host, texts);
    }
    m_table.insert(RESOLVE, resolve);
    qCDebug(lcCatalogue) << "DnsJson: " << host << " refreshed. IPs found: " << addresses.size();
}

void DnsJson::updateLastModifiedTimestamp()
{
    m_table.insert(LAST_UPDATE, QDateTime::currentDateTimeUtc().toString(Qt::ISODate));
}

void DnsJson::saveToLocalCache() const
{
    const QString target = getLocalDnsjsonFileInfo().absoluteFilePath();
    const QString temporary = target + QStringLiteral(".temp");
    QFile::remove(temporary);
    QFile file(temporary);
    if (!file.open(QIODevice::WriteOnly)) {
        qCDebug(lcCatalogue)
            << QStringLiteral("DnsJson: Can not open %1 in Write mode, IPs can not be refreshed").arg(temporary);
        return;
    }
    const QByteArray content = QJsonDocument(m_table).toJson(QJsonDocument::Indented);
    const bool written = file.write(content) == content.size() && file.flush();
    file.close();
    if (!written) {
        qCDebug(lcCatalogue)
            << QStringLiteral("DnsJson: Can not open %1 in Write mode, IPs can not be refreshed").arg(temporary);
        QFile::remove(temporary);
        return;
    }
    // rename(2) replaces the old cache in one step, so readers never find it missing.
    if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(target).constData()) != 0) {
        qCDebug(lcCatalogue) << QStringLiteral("DnsJson: Can not rename %1 into %2").arg(temporary, target);
        return;
    }
    qCDebug(lcCatalogue) << QStringLiteral("IPs refreshed: %1").arg(target);
}

QList<QHostAddress> DnsJson::resolve(const QString &host) const
{
    const QHostAddress literal(host);
    if (!literal.isNull())
        return {literal};
    QList<QHostAddress> addresses;
    const QJsonArray texts = m_table.value(RESOLVE).toObject().value(host).toArray();
    for (const QJsonValue &text : texts) {
        const QHostAddress address(text.toString());
        if (!address.isNull())
            addresses.append(address);
    }
    return addresses;
}

QDateTime DnsJson::lastUpdate() const
{
    if (!m_table.contains(LAST_UPDATE))
        return QDateTime::fromMSecsSinceEpoch(0, Qt::UTC);
    return QDateTime::fromString(m_table.value(LAST_UPDATE).toString(), Qt::ISODate);
}
