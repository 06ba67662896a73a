#pragma once

#include "catalogue/HalvorixServerSite.h"
#include "catalogue/NullConnectionParameters.h"
#include "core/GeoLocation.h"

#include <QDir>
#include <QHostAddress>
#include <QList>
#include <QSharedPointer>

// Server sites placed on the map for the map tests, and connection
// parameters that carry one of them.
namespace MapTestSites {

inline HalvorixServerSite site(const QString &country, const QString &city, double latitude, double longitude,
                               bool stealth = false)
{
    return HalvorixServerSite(country, city, QString(), QString(), stealth, false, QDir(), {}, QHostAddress(),
                              GeoLocation(latitude, longitude, country), QString(), 0);
}

inline GeoLocation dallas()
{
    return GeoLocation(32.7767, -96.7970, QStringLiteral("USA"));
}

inline HalvorixServerSite london()
{
    return site(QStringLiteral("GBR"), QStringLiteral("London"), 51.5074, -0.1278, true);
}

// The sites of the shipped catalogue, with their places.
inline QList<HalvorixServerSite> catalogue()
{
    return {
        site("USA", "Dallas", 32.7767, -96.7970, true),
        site("USA", "New York", 40.7128, -74.0060),
        site("USA", "Los Angeles", 34.0522, -118.2437, true),
        site("CAN", "Toronto", 43.6532, -79.3832),
        site("BRA", "Sao Paulo", -23.5505, -46.6333),
        london(),
        site("DEU", "Frankfurt", 50.1109, 8.6821),
        site("AUT", "Vienna", 48.2082, 16.3738),
        site("FRA", "Paris", 48.8566, 2.3522),
        site("NLD", "Amsterdam", 52.3676, 4.9041, true),
        site("SWE", "Stockholm", 59.3293, 18.0686),
        site("CHE", "Zurich", 47.3769, 8.5417),
        site("JPN", "Tokyo", 35.6762, 139.6503, true),
        site("SGP", "Singapore", 1.3521, 103.8198),
        site("AUS", "Sydney", -33.8688, 151.2093),
        site("ZAF", "Johannesburg", -26.2041, 28.0473),
        site("IND", "Mumbai", 19.0760, 72.8777),
    };
}

// Connection parameters of no real connection that name a site.
class SiteConnectionParameters : public NullConnectionParameters
{
public:
    explicit SiteConnectionParameters(const HalvorixServerSite &site)
        : m_site(site)
    {
    }
    HalvorixServerSite getServerSite() const override { return m_site; }

private:
    HalvorixServerSite m_site;
};

inline QSharedPointer<ConnectionParameters> connectionTo(const HalvorixServerSite &site)
{
    return QSharedPointer<SiteConnectionParameters>::create(site);
}

} // namespace MapTestSites
