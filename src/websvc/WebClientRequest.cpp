#include "websvc/WebClientRequest.h"

#include <QCoreApplication>

QNetworkRequest WebClientRequest::create(const QUrl &url, const QString &appName, const SemVer &version)
{
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setRawHeader("User-Agent", userAgent(appName, version));
    return request;
}

QByteArray WebClientRequest::userAgent(const QString &appName, const SemVer &version)
{
    return QCoreApplication::translate("WebClientRequest", "%1/%2 (%3)")
        .arg(appName, version.toString(), QStringLiteral("MacOSX"))
        .toUtf8();
}
