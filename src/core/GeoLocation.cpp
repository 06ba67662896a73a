#include "core/GeoLocation.h"

#include <QSettings>

#include <cmath>

const double GeoLocation::EARTH_RADIUS_KM = 6371.0;

namespace {
const double PI = 3.141592653589793;

[[maybe_unused]] const int geoLocationMetaType = qRegisterMetaType<GeoLocation>("GeoLocation");

double toRadians(double degrees)
{
    return degrees * PI / 180.0;
}

QString latitudeKey(const QString &prefix)
{
    return prefix + QStringLiteral("-latitude");
}
QString longitudeKey(const QString &prefix)
{
    return prefix + QStringLiteral("-longitude");
}
QString countryCodeKey(const QString &prefix)
{
    return prefix + QStringLiteral("-countrycode");
}
} // namespace

GeoLocation::GeoLocation(double latitude, double longitude, const QString &countryCode)
    : m_latitude(latitude)
    , m_longitude(longitude)
    , m_countryCode(countryCode)
{
}

double GeoLocation::getLatitude() const
{
    return m_latitude;
}

double GeoLocation::getLongitude() const
{
    return m_longitude;
}

QString GeoLocation::getCountryCode() const
{
    return m_countryCode;
}

double GeoLocation::distanceEarth(const GeoLocation &other) const
{
    const double phi1 = toRadians(m_latitude);
    const double phi2 = toRadians(other.m_latitude);
    const double lambda1 = toRadians(m_longitude);
    const double lambda2 = toRadians(other.m_longitude);
    const double a = std::sin((phi2 - phi1) * 0.5);
    const double b = std::sin((lambda2 - lambda1) * 0.5);
    double h = a * a + std::cos(phi2) * std::cos(phi1) * b * b;
    // Rounding can lift h just above 1 for antipodal points, where asin would give NaN.
    if (h > 1.0)
        h = 1.0;
    return 2.0 * EARTH_RADIUS_KM * std::asin(std::sqrt(h));
}

GeoLocation GeoLocation::readFrom(QSettings &settings, const QString &prefix)
{
    const double latitude = settings.value(latitudeKey(prefix), 0.0).toDouble();
    const double longitude = settings.value(longitudeKey(prefix), 0.0).toDouble();
    const QString countryCode = settings.value(countryCodeKey(prefix), QString()).toString();
    return GeoLocation(latitude, longitude, countryCode);
}

void GeoLocation::writeTo(QSettings &settings, const QString &prefix) const
{
    settings.setValue(latitudeKey(prefix), m_latitude);
    settings.setValue(longitudeKey(prefix), m_longitude);
    settings.setValue(countryCodeKey(prefix), m_countryCode);
}
