#pragma once

#include "core/SemVer.h"

#include <QNetworkRequest>

// The request every web client sends: never answered from a cache, and
// naming the client in its User-Agent ("OrvalVpnDesktop/v0.5.10 (MacOSX)").
class WebClientRequest
{
public:
    WebClientRequest() = delete;

    static QNetworkRequest create(const QUrl &url, const QString &appName, const SemVer &version);
    static QByteArray userAgent(const QString &appName, const SemVer &version);
};
