#include "websvc/VazOzudeApiClient.h"

#include "websvc/ReplyHandler.h"
#include "websvc/WebClientRequest.h"

#include <QDebug>
#include <QNetworkAccessManager>

VazOzudeApiClient::VazOzudeApiClient(QNetworkAccessManager *manager, const QString &url, const SemVer &version,
                                     const QString &appName)
    : manager(manager)
    , url(url)
    , version(version)
    , appName(appName)
{
}

void VazOzudeApiClient::requestToken(const QString &user, const QString &password)
{
    qDebug() << "Request ConfigTxt to " << url;
    QNetworkRequest request = WebClientRequest::create(QUrl(url), appName, version);
    request.setRawHeader("Authorization", "Basic " + (user + QLatin1Char(':') + password).toLocal8Bit().toBase64());
    username = user;
    auto *handler = new ReplyHandler(manager->get(request), QStringLiteral("VazOzudeApiClient/RequestToken"),
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
    qDebug() << "processTokenReply: Could not get Token!";
}
