#include "catalogue/WebConfigSource.h"

#include "BuildConfig.h"
#include "catalogue/CanNotParseConfigTxtException.h"
#include "catalogue/CatalogueLogging.h"
#include "catalogue/ConfigTxt.h"
#include "catalogue/ConfigZip.h"
#include "catalogue/ConfigZipWriteException.h"
#include "catalogue/HalvorixConfig.h"
#include "websvc/ReplyHandler.h"

#include <QDateTime>
#include <QDebug>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSettings>

WebConfigSource::WebConfigSource(QNetworkAccessManager *manager, const QString &clientIdentifier, const SemVer &version,
                                 const QString &configTxtAddress, const QString &credentials, QObject *parent)
    : QObject(parent)
    , m_manager(manager)
    , m_clientIdentifier(clientIdentifier)
    , m_version(version)
    , m_configTxtAddress(configTxtAddress)
    , m_credentials(credentials)
{
}

QString WebConfigSource::defaultConfigTxtAddress()
{
    return QStringLiteral("https://%1/Config/default.txt").arg(QString::fromUtf8(BuildConfig::updateHost));
}

ReplyHandler *WebConfigSource::send(const QUrl &url, const QString &userAgent, const QString &label, qint64 maxBytes)
{
    QNetworkRequest request(url);
    request.setRawHeader("User-Agent", userAgent.toUtf8());
    if (!m_credentials.isNull())
        request.setRawHeader("Authorization", "Basic " + m_credentials.toLocal8Bit().toBase64());
    QNetworkReply *reply = m_manager->get(request);
    connect(reply, &QNetworkReply::finished, this, [this, reply] { m_lastError = reply->errorString(); });
    m_inProgress = new ReplyHandler(reply, label, m_inactivityTimeoutMs, maxBytes);
    return m_inProgress;
}

void WebConfigSource::checkForUpdate()
{
    qCDebug(lcCatalogue) << "WebConfigSource/CheckForUpdate";
    if (m_inProgress) {
        qCDebug(lcCatalogue) << "WebConfigSource/CheckForUpdate: A download is already in progress, aborting!";
        return;
    }
    m_announcedVersion = 0;
    m_announcedMd5sum = QString();
    const QString userAgent =
        QStringLiteral("%1/%2 (%3)").arg(m_clientIdentifier, m_version.toString(), QStringLiteral("MacOSX"));
    ReplyHandler *handler = send(QUrl(m_configTxtAddress, QUrl::TolerantMode), userAgent,
                                 QStringLiteral("WebConfigSource/config.txt"), MAX_CONFIG_TXT_BYTES);
    connect(handler, &ReplyHandler::success, this, &WebConfigSource::handleConfigTxtReply);
    connect(handler, &ReplyHandler::failure, this,
            [this] { failed(QStringLiteral("WebConfigSource/HandleConfigTxtReply: Can not download config.txt: ")); });
}

void WebConfigSource::failed(const QString &what)
{
    m_inProgress = nullptr;
    qCDebug(lcCatalogue).noquote() << what + m_lastError;
}

void WebConfigSource::handleConfigTxtReply(const QByteArray &received)
{
    qCDebug(lcCatalogue) << "WebConfigSource/HandleConfigTxtReply";
    m_inProgress = nullptr;
    const QByteArray body = received.trimmed();
    qCDebug(lcCatalogue) << "WebConfigSource/HandleConfigTxtReply:" << body;
    try {
        ConfigTxt configTxt(body);
        configTxt.execute();
        m_announcedMd5sum = configTxt.getMd5sum();
        m_announcedVersion = configTxt.getVersion();
        if (!HalvorixConfig::hasValidConfig() || configTxt.isNewVersion())
            downloadToMemory(configTxt.getUrlOfConfigZip());
        QSettings settings;
        settings.setValue(QStringLiteral("config/last-check"),
                          QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy hh:mm:ss")));
        settings.sync();
        m_credentials = QString();
    } catch (const CanNotParseConfigTxtException &) {
        qCDebug(lcCatalogue) << "WebConfigSource/HandleConfigTxtReply: CanNotParseConfigTxtException";
    }
}

void WebConfigSource::downloadToMemory(const QUrl &address)
{
    qCDebug(lcCatalogue) << "WebConfigSource/DownloadToMemory";
    if (m_inProgress) {
        qCDebug(lcCatalogue) << "WebConfigSource/DownloadToMemory: A download is already in progress, aborting!";
        return;
    }
    QUrl url(address);
    url.setScheme(QStringLiteral("https"));
    ReplyHandler *handler = send(url, QStringLiteral("%1").arg(m_clientIdentifier),
                                 QStringLiteral("WebConfigSource/config.zip"), MAX_CONFIG_ZIP_BYTES);
    connect(handler, &ReplyHandler::success, this, &WebConfigSource::handleConfigZipReply);
    connect(handler, &ReplyHandler::failure, this, [this] {
        failed(QStringLiteral("WebConfigSource/HandleConfigZipReply: Error while downloading config.zip: "));
    });
}

void WebConfigSource::handleConfigZipReply(const QByteArray &body)
{
    qCDebug(lcCatalogue) << "WebConfigSource/HandleConfigZipReply";
    m_inProgress = nullptr;
    try {
        ConfigZip(body, m_announcedMd5sum, m_announcedVersion).execute();
        emit newConfigWasDownloaded();
    } catch (const ConfigZipWriteException &e) {
        emit errorMessage(QStringLiteral("Error handling the config zip file"), QString::fromUtf8(e.what()));
    }
}
