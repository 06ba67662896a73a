#include "websvc/VazOzudeApiClient.h"

#include "websvc/ReplyHandler.h"
#include "websvc/WebClientRequest.h"
#include "websvc/WebsvcLogging.h"

#include <QDebug>
#include <QNetworkAccessManager>

VazOzudeApiClient::VazOzudeApiClient(QNetworkAccessManager *manager, const QString &url, const SemVer &version,
                                     const QString &appName)
    : m_manager(manager)
    , m_url(url)
    , m_version(version)
    , m_appName(appName)
{
}

void VazOzudeApiClient::requestToken(const QString &user, const QString &password)
{
    qCDebug(lcWebsvc) << "Request ConfigTxt to " << m_url;
    QNetworkRequest request = WebClientRequest::create(QUrl(m_url), m_appName, m_version);
    request.setRawHeader("Authorization", "Basic " + (user + QLatin1Char(':') + password).toLocal8Bit().toBase64());
    m_username = user;
    auto *handler = new ReplyHandler(m_manager->get(request), QStringLiteral("VazOzudeApiClient/RequestToken"),
                                     REQUEST_TIMEOUT_MS, MAXIMUM_REPLY_SIZE);
    connect(handler, &ReplyHandler::success, this, &VazOzudeApiClient::processTokenReply);
    connect(handler, &ReplyHandler::failure, this, &VazOzudeApiClient::onTokenFailure);
}

void VazOzudeApiClient::processTokenReply(const QByteArray &body)
{
    emit configTxtReady(QString::fromUtf8(body));
}

void VazOzudeApiClient::onTokenFailure()
{
    qCDebug(lcWebsvc) << "processTokenReply: Could not get Token!";
}
