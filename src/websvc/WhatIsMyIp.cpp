#include "websvc/WhatIsMyIp.h"

#include "websvc/ReplyHandler.h"
#include "websvc/WebClientRequest.h"

#include <QDebug>
#include <QNetworkAccessManager>

WhatIsMyIp::WhatIsMyIp(QNetworkAccessManager *manager, const QString &appName, const SemVer &version,
                       const QString &url, QObject *parent)
    : QObject(parent)
    , manager(manager)
    , appName(appName)
    , version(version)
    , url(url)
{
}

void WhatIsMyIp::queryMyIp()
{
    qDebug() << "WhatIsMyIp/QueryMyIp";
    count = 0;
    doQueryMyIp();
}

void WhatIsMyIp::doQueryMyIp()
{
    qDebug() << "WhatIsMyIp/DoQueryMyIp: count=" << count;
    ++count;
    emit updateIp(VpnConnectionState::QUERYING, QHostAddress(), count);
    const QNetworkRequest request = WebClientRequest::create(QUrl(url), appName, version);
    auto *handler = new ReplyHandler(manager->get(request), QStringLiteral("WhatIsMyIp/DoQueryMyIp"),
                                     attemptTimeout(count), 0);
    connect(handler, &ReplyHandler::success, this, &WhatIsMyIp::onSuccess);
    connect(handler, &ReplyHandler::failure, this, &WhatIsMyIp::onFailure);
}

void WhatIsMyIp::onSuccess(const QByteArray &body)
{
    const QString text = QString::fromUtf8(body);
    qDebug() << "WhatIsMyIp/OnSuccess: ip address=" << text;
    QHostAddress address;
    // The page answers with the bare address; QHostAddress alone would
    // overlook surrounding white space.
    if (text != text.trimmed() || !address.setAddress(text)) {
        qDebug() << "WhatIsMyIp/OnSuccess Warning: ip address is not valid";
        emit updateIp(VpnConnectionState::DETECTION_FAILED, QHostAddress(), count);
        return;
    }
    emit updateIp(VpnConnectionState::FOUND, address, count);
}

void WhatIsMyIp::onFailure()
{
    qDebug() << "WhatIsMyIp/OnFailure";
    if (count >= MAXIMUM_ATTEMPTS) {
        qDebug() << "WhatIsMyIp/OnFailure: giving up";
        emit updateIp(VpnConnectionState::DETECTION_FAILED, QHostAddress(), count);
        return;
    }
    qDebug() << "WhatIsMyIp/OnFailure: retrying";
    doQueryMyIp();
}
