#include "websvc/LifeCycleClient.h"

#include "websvc/ReplyHandler.h"

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
    , manager(manager)
    , clientId(clientId)
    , version(version)
    , baseUrl(baseUrl)
    , token(token)
    , authorization(authorization)
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
    qDebug() << "Loading " << path;
    buildFlavor = readBuildFlavor(path);
    qDebug() << "Build flavor: " << buildFlavor;
}

void LifeCycleClient::loadInstallId()
{
    QSettings settings;
    settings.beginGroup(QStringLiteral("lifecycle"));
    installId = settings.value(QStringLiteral("installId")).toString();
    if (installId.isEmpty()) {
        installId = QUuid::createUuid().toString().mid(1, 36);
        settings.setValue(QStringLiteral("installId"), installId);
        settings.endGroup();
        settings.sync();
    }
}

QUrl LifeCycleClient::checkVersionUrl() const
{
    return QUrl(baseUrl + QStringLiteral("versions/current/") + PLATFORM + QStringLiteral("?flavor=")
                + QString::fromLatin1(QUrl::toPercentEncoding(buildFlavor)));
}

QByteArray LifeCycleClient::checkVersionUrlChecksum() const
{
    return QCryptographicHash::hash(PLATFORM.toUtf8() + token.toUtf8(), QCryptographicHash::Sha256).toHex();
}

QByteArray LifeCycleClient::userAgent() const
{
    return QStringLiteral("%1/%2 (%3) %4/%5")
        .arg(clientId, version.toString(), PLATFORM, installId, userAgentExtra)
        .toUtf8();
}

void LifeCycleClient::checkVersion()
{
    qDebug() << "LifeCycleClient/CheckVersion";
    attempt = 1;
    doCheckVersion();
}

void LifeCycleClient::doCheckVersion()
{
    qDebug() << "LifeCycleClient/doCheckVersion";
    QNetworkRequest request(checkVersionUrl());
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setRawHeader("X-CHECKSUM", checkVersionUrlChecksum());
    request.setRawHeader("User-Agent", userAgent());
    // Callers differ in passing a null or an empty text for "none"; an empty
    // Basic credential would only be refused.
    if (!authorization.isEmpty())
        request.setRawHeader("Authorization", "Basic " + authorization.toLocal8Bit().toBase64());
    auto *handler = new ReplyHandler(manager->get(request), QStringLiteral("LifeCycleClient/CheckVersion"),
                                     attempt * attempt * TIMEOUT_UNIT_MS, 0);
    pendingVersionRequest = handler;
    connect(handler, &ReplyHandler::success, this, &LifeCycleClient::onCheckVersionSuccess);
    connect(handler, &ReplyHandler::failure, this, &LifeCycleClient::onCheckVersionFailed);
    ++attempt;
}

void LifeCycleClient::onCheckVersionFailed()
{
    qDebug() << "LifeCycleClient/OnCheckVersionFailed";
    pendingVersionRequest = nullptr;
    // Also a request the backend aborted at a connection start: the check is
    // made again, through the connection being set up, while attempts remain.
    if (attempt <= MAXIMUM_ATTEMPTS)
        doCheckVersion();
}

void LifeCycleClient::onCheckVersionSuccess(const QByteArray &body)
{
    qDebug() << "LifeCycleClient/OnCheckVersionSuccess";
    pendingVersionRequest = nullptr;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        qDebug() << "LifeCycleClient/OnCheckVersionSuccess: Can not parse JSON: " << QString::fromUtf8(body).trimmed();
        qDebug() << "LifeCycleClient/OnCheckVersionSuccess: Can not parse JSON: " << error.error;
        return;
    }
    const QJsonObject reply = document.object();
    const QString currentVersionKey = QStringLiteral("current-version");
    const QString downloadUrlKey = QStringLiteral("download-url");
    const QString changelogUrlKey = QStringLiteral("changelog-url");
    if (!reply.contains(currentVersionKey) || !reply.contains(downloadUrlKey) || !reply.contains(changelogUrlKey))
        return;
    const QString currentVersion = reply.value(currentVersionKey).toString();
    if (version.isOlderThan(SemVer(currentVersion))) {
        qDebug() << "LifeCycleClient/OnCheckVersionSuccess: software update available " << currentVersion;
        emit updateAvailable(currentVersion, QUrl(reply.value(downloadUrlKey).toString()),
                             QUrl(reply.value(changelogUrlKey).toString()));
    } else {
        qDebug() << "LifeCycleClient/OnCheckVersionSuccess: software is up to date " << currentVersion;
    }
}
