#pragma once

#include "catalogue/Region.h"
#include "core/GeoLocation.h"

#include <QList>
#include <QString>

// One entry of the fixed country table: ISO 3166-1 codes, English name,
// capital or centre, continent region and flag image.
class CountryCode
{
public:
    // Pseudo-countries of dedicated-IP sites and of port-forward addresses.
    static const CountryCode DedicatedIpCountryCode;
    static const CountryCode PortForwardIpCountryCode;
    // The table: the two pseudo-countries, then the countries, in table order.
    static const QList<CountryCode> m_countryCodes;

    CountryCode(const QString &iso2Code, const QString &iso3Code, const QString &name, double latitude,
                double longitude, Region region);
    // The placeholder for a code that is not in the table, named after that code.
    explicit CountryCode(const QString &name);

    static QList<CountryCode> init();
    // The first entry whose three- or two-letter code equals the code in upper
    // case; the placeholder when none does.
    static CountryCode findByIsoCode(const QString &code);
    // A copy of the table sorted by name.
    static QList<CountryCode> countryCodes();
    // Ordinal, case-sensitive comparison of the names.
    static bool cmpCountryCodesByName(const CountryCode &first, const CountryCode &second);

    QString getIso2Code() const;
    QString getIso3Code() const;
    QString getFlagPath() const;
    QString getName() const;
    GeoLocation getLocation() const;
    Region getRegion() const;

private:
    QString m_iso2Code;
    QString m_iso3Code;
    QString m_flagPath;
    QString m_name;
    GeoLocation m_location;
    Region m_region;
};
