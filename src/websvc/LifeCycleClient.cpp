#include "websvc/LifeCycleClient.h"

#include "websvc/ReplyHandler.h"
#include "websvc/WebsvcLogging.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDebug>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QSettings>
#include <QUuid>

namespace {
const QString PLATFORM = QStringLiteral("MacOSX");
}

LifeCycleClient::LifeCycleClient(QNetworkAccessManager *manager, const QString &clientId, const SemVer &version,
                                 const QString &baseUrl, const QString &token, const QString &authorization,
                                 QObject *parent)
    : QObject(parent)
    , m_manager(manager)
    , m_clientId(clientId)
    , m_version(version)
    , m_baseUrl(baseUrl)
    , m_token(token)
    , m_authorization(authorization)
{
    loadBuildFlavor();
    loadInstallId();
}

QString LifeCycleClient::readBuildFlavor(const QString &path)
{
    QSettings buildFile(path, QSettings::IniFormat);
    buildFile.beginGroup(QStringLiteral("build"));
    return buildFile.value(QStringLiteral("flavor"), QStringLiteral("dmg")).toString();
}

void LifeCycleClient::loadBuildFlavor()
{
    const QString path = QCoreApplication::applicationDirPath() + QStringLiteral("/../Resources/build.conf");
    qCDebug(lcWebsvc) << "Loading " << path;
    m_buildFlavor = readBuildFlavor(path);
    qCDebug(lcWebsvc) << "Build flavor: " << m_buildFlavor;
}

void LifeCycleClient::loadInstallId()
{
    QSettings settings;
    settings.beginGroup(QStringLiteral("lifecycle"));
    m_installId = settings.value(QStringLiteral("installId")).toString();
    if (m_installId.isEmpty()) {
        m_installId = QUuid::createUuid().toString().mid(1, 36);
        settings.setValue(QStringLiteral("installId"), m_installId);
        settings.endGroup();
        settings.sync();
    }
}

QUrl LifeCycleClient::checkVersionUrl() const
{
    return QUrl(m_baseUrl + QStringLiteral("versions/current/") + PLATFORM + QStringLiteral("?flavor=")
                + QString::fromLatin1(QUrl::toPercentEncoding(m_buildFlavor)));
}

QByteArray LifeCycleClient::checkVersionUrlChecksum() const
{
    return QCryptographicHash::hash(PLATFORM.toUtf8() + m_token.toUtf8(), QCryptographicHash::Sha256).toHex();
}

QByteArray LifeCycleClient::userAgent() const
{
    return QStringLiteral("%1/%2 (%3) %4/%5")
        .arg(m_clientId, m_version.toString(), PLATFORM, m_installId, m_userAgentExtra)
        .toUtf8();
}

void LifeCycleClient::checkVersion()
{
    qCDebug(lcWebsvc) << "LifeCycleClient/CheckVersion";
    m_attempt = 1;
    doCheckVersion();
}

void LifeCycleClient::doCheckVersion()
{
    qCDebug(lcWebsvc) << "LifeCycleClient/doCheckVersion";
    QNetworkRequest request(checkVersionUrl());
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setRawHeader("X-CHECKSUM", checkVersionUrlChecksum());
    request.setRawHeader("User-Agent", userAgent());
    // Callers differ in passing a null or an empty text for "none"; an empty
    // Basic credential would only be refused.
    if (!m_authorization.isEmpty())
        request.setRawHeader("Authorization", "Basic " + m_authorization.toLocal8Bit().toBase64());
    auto *handler = new ReplyHandler(m_manager->get(request), QStringLiteral("LifeCycleClient/CheckVersion"),
                                     m_attempt * m_attempt * TIMEOUT_UNIT_MS, 0);
    m_pendingVersionRequest = handler;
    connect(handler, &ReplyHandler::success, this, &LifeCycleClient::onCheckVersionSuccess);
    connect(handler, &ReplyHandler::failure, this, &LifeCycleClient::onCheckVersionFailed);
    ++m_attempt;
}

void LifeCycleClient::onCheckVersionFailed()
{
    qCDebug(lcWebsvc) << "LifeCycleClient/OnCheckVersionFailed";
    m_pendingVersionRequest = nullptr;
    // Also a request the backend aborted at a connection start: the check is
    // made again, through the connection being set up, while attempts remain.
    if (m_attempt <= MAXIMUM_ATTEMPTS)
        doCheckVersion();
}

void LifeCycleClient::onCheckVersionSuccess(const QByteArray &body)
{
    qCDebug(lcWebsvc) << "LifeCycleClient/OnCheckVersionSuccess";
    m_pendingVersionRequest = nullptr;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        qCDebug(lcWebsvc) << "LifeCycleClient/OnCheckVersionSuccess: Can not parse JSON: "
                          << QString::fromUtf8(body).trimmed();
        qCDebug(lcWebsvc) << "LifeCycleClient/OnCheckVersionSuccess: Can not parse JSON: " << error.error;
        return;
    }
    const QJsonObject reply = document.object();
    const QString currentVersionKey = QStringLiteral("current-version");
    const QString downloadUrlKey = QStringLiteral("download-url");
    const QString changelogUrlKey = QStringLiteral("changelog-url");
    if (!reply.contains(currentVersionKey) || !reply.contains(downloadUrlKey) || !reply.contains(changelogUrlKey))
        return;
    const QString currentVersion = reply.value(currentVersionKey).toString();
    if (m_version.isOlderThan(SemVer(currentVersion))) {
        qCDebug(lcWebsvc) << "LifeCycleClient/OnCheckVersionSuccess: software update available " << currentVersion;
        emit updateAvailable(currentVersion, QUrl(reply.value(downloadUrlKey).toString()),
                             QUrl(reply.value(changelogUrlKey).toString()));
    } else {
        qCDebug(lcWebsvc) << "LifeCycleClient/OnCheckVersionSuccess: software is up to date " << currentVersion;
    }
}
