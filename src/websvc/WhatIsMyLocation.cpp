#include "websvc/WhatIsMyLocation.h"

#include "websvc/ReplyHandler.h"
#include "websvc/WebClientRequest.h"
#include "websvc/WebsvcLogging.h"

#include <QDebug>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>

#include <cmath>

namespace {

bool readCoordinate(const QJsonValue &value, double limit, double &coordinate)
{
    bool ok = false;
    if (value.isDouble()) {
        coordinate = value.toDouble();
        ok = true;
    } else if (value.isString()) {
        coordinate = value.toString().trimmed().toDouble(&ok);
    }
    return ok && std::isfinite(coordinate) && std::fabs(coordinate) <= limit;
}

} // namespace

WhatIsMyLocation::WhatIsMyLocation(QNetworkAccessManager *manager, const QString &appName, const SemVer &version,
                                   const QString &url, int count, bool stopFlag, QObject *parent)
    : QObject(parent)
    , m_manager(manager)
    , m_appName(appName)
    , m_version(version)
    , m_url(url)
    , m_count(count)
    , m_stopFlag(stopFlag)
{
}

void WhatIsMyLocation::queryMyLocation()
{
    qCDebug(lcWebsvc) << "WhatIsMyLocation/QueryMyLocation";
    m_count = 0;
    m_stopFlag = false;
    doQueryMyLocation();
}

void WhatIsMyLocation::stop()
{
    m_stopFlag = true;
}

void WhatIsMyLocation::doQueryMyLocation()
{
    qCDebug(lcWebsvc) << "WhatIsMyLocation/doQueryMyLocation: count=" << m_count;
    ++m_count;
    const QNetworkRequest request = WebClientRequest::create(QUrl(m_url), m_appName, m_version);
    auto *handler = new ReplyHandler(m_manager->get(request), QStringLiteral("WhatIsMyLocation/doQueryMyLocation"),
                                     attemptTimeout(m_count), 0);
    connect(handler, &ReplyHandler::success, this, &WhatIsMyLocation::onSuccess);
    connect(handler, &ReplyHandler::failure, this, &WhatIsMyLocation::onFailure);
}

bool WhatIsMyLocation::parseLocation(const QByteArray &body, GeoLocation &location)
{
    const QJsonObject reply = QJsonDocument::fromJson(body).object();
    double latitude = 0.0;
    double longitude = 0.0;
    if (!readCoordinate(reply.value(QStringLiteral("latitude")), 90.0, latitude)
        || !readCoordinate(reply.value(QStringLiteral("longitude")), 180.0, longitude))
        return false;
    location = GeoLocation(latitude, longitude, reply.value(QStringLiteral("country_code3")).toString());
    return true;
}

void WhatIsMyLocation::onSuccess(const QByteArray &body)
{
    GeoLocation location;
    // Without valid coordinates there is no location: reporting 0,0 would
    // place the user in the Gulf of Guinea and skew the proximity order.
    if (!parseLocation(body, location)) {
        qCDebug(lcWebsvc) << "WhatIsMyLocation/OnSuccess Warning: no valid location in reply:"
                          << QString::fromUtf8(body.left(200));
        return;
    }
    qCDebug(lcWebsvc) << "WhatIsMyLocation/OnSuccess: location=" << location.getLatitude() << location.getLongitude();
    emit updateLocation(location);
}

void WhatIsMyLocation::onFailure()
{
    if (m_stopFlag)
        return;
    qCDebug(lcWebsvc) << "WhatIsMyLocation/OnFailure";
    if (m_count >= MAXIMUM_ATTEMPTS) {
        qCDebug(lcWebsvc) << "WhatIsMyLocation/OnFailure: giving up";
        return;
    }
    qCDebug(lcWebsvc) << "WhatIsMyLocation/OnFailure: retrying";
    doQueryMyLocation();
}
