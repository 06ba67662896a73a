#include "websvc/WhatIsMyIp.h"

#include "websvc/ReplyHandler.h"
#include "websvc/WebClientRequest.h"
#include "websvc/WebsvcLogging.h"

#include <QDebug>
#include <QNetworkAccessManager>

WhatIsMyIp::WhatIsMyIp(QNetworkAccessManager *manager, const QString &appName, const SemVer &version,
                       const QString &url, QObject *parent)
    : QObject(parent)
    , m_manager(manager)
    , m_appName(appName)
    , m_version(version)
    , m_url(url)
{
}

void WhatIsMyIp::queryMyIp()
{
    qCDebug(lcWebsvc) << "WhatIsMyIp/QueryMyIp";
    m_count = 0;
    doQueryMyIp();
}

void WhatIsMyIp::doQueryMyIp()
{
    qCDebug(lcWebsvc) << "WhatIsMyIp/DoQueryMyIp: count=" << m_count;
    ++m_count;
    emit updateIp(VpnConnectionState::QUERYING, QHostAddress(), m_count);
    const QNetworkRequest request = WebClientRequest::create(QUrl(m_url), m_appName, m_version);
    auto *handler =
        new ReplyHandler(m_manager->get(request), QStringLiteral("WhatIsMyIp/DoQueryMyIp"), attemptTimeout(m_count), 0);
    connect(handler, &ReplyHandler::success, this, &WhatIsMyIp::onSuccess);
    connect(handler, &ReplyHandler::failure, this, &WhatIsMyIp::onFailure);
}

void WhatIsMyIp::onSuccess(const QByteArray &body)
{
    const QString text = QString::fromUtf8(body);
    qCDebug(lcWebsvc) << "WhatIsMyIp/OnSuccess: ip address=" << text;
    QHostAddress address;
    // The page answers with the bare address; QHostAddress alone would
    // overlook surrounding white space.
    if (text != text.trimmed() || !address.setAddress(text)) {
        qCDebug(lcWebsvc) << "WhatIsMyIp/OnSuccess Warning: ip address is not valid";
        emit updateIp(VpnConnectionState::DETECTION_FAILED, QHostAddress(), m_count);
        return;
    }
    emit updateIp(VpnConnectionState::FOUND, address, m_count);
}

void WhatIsMyIp::onFailure()
{
    qCDebug(lcWebsvc) << "WhatIsMyIp/OnFailure";
    if (m_count >= MAXIMUM_ATTEMPTS) {
        qCDebug(lcWebsvc) << "WhatIsMyIp/OnFailure: giving up";
        emit updateIp(VpnConnectionState::DETECTION_FAILED, QHostAddress(), m_count);
        return;
    }
    qCDebug(lcWebsvc) << "WhatIsMyIp/OnFailure: retrying";
    doQueryMyIp();
}
