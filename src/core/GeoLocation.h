#pragma once

#include <QMetaType>
#include <QString>

class QSettings;

// A point on the Earth (degrees, north and east positive) with the code of
// the country it belongs to, in whatever form its producer uses.
class GeoLocation
{
public:
    static const double EARTH_RADIUS_KM;

    GeoLocation() = default;
    GeoLocation(double latitude, double longitude, const QString &countryCode = QString());

    double getLatitude() const;
    double getLongitude() const;
    QString getCountryCode() const;

    // Great-circle distance in kilometres (haversine); the country codes take no part.
    double distanceEarth(const GeoLocation &other) const;

    // Keys prefix + "-latitude", "-longitude", "-countrycode" in the current group.
    static GeoLocation readFrom(QSettings &settings, const QString &prefix);
    void writeTo(QSettings &settings, const QString &prefix) const;

private:
    double m_latitude = 0.0;
    double m_longitude = 0.0;
    QString m_countryCode;
};

Q_DECLARE_METATYPE(GeoLocation)
