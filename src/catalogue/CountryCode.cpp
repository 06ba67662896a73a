#include "catalogue/CountryCode.h"

#include <algorithm>

const CountryCode CountryCode::DedicatedIpCountryCode(QStringLiteral("_A"), QStringLiteral("__A"),
                                                      QStringLiteral("Dedicated IP"), 0.0, 0.0, Region::All);
const CountryCode CountryCode::PortForwardIpCountryCode(QStringLiteral("_B"), QStringLiteral("__B"),
                                                        QStringLiteral("Port Forward IP"), 0.0, 0.0, Region::All);
const QList<CountryCode> CountryCode::m_countryCodes = CountryCode::init();

CountryCode::CountryCode(const QString &iso2Code, const QString &iso3Code, const QString &name, double latitude,
                         double longitude, Region region)
    : m_iso2Code(iso2Code.toUpper())
    , m_iso3Code(iso3Code.toUpper())
    , m_flagPath(QStringLiteral(":/images/flag_%1.png").arg(iso2Code.toLower()))
    , m_name(name)
    , m_location(latitude, longitude, iso2Code)
    , m_region(region)
{
}

CountryCode::CountryCode(const QString &name)
    : m_iso2Code(QStringLiteral("??"))
    , m_iso3Code(QStringLiteral("???"))
    , m_flagPath(QStringLiteral(":/images/flag_empty.png"))
    , m_name(name)
    , m_region(Region::All)
{
}

QList<CountryCode> CountryCode::init()
{
    QList<CountryCode> table {DedicatedIpCountryCode, PortForwardIpCountryCode};
    table += {
        CountryCode(QStringLiteral("BR"), QStringLiteral("BRA"), QStringLiteral("Brazil"), -15.783333, -47.866667,
                    Region::SouthAmerica),
        CountryCode(QStringLiteral("CA"), QStringLiteral("CAN"), QStringLiteral("Canada"), 45.4, -75.666667,
                    Region::NorthAmerica),
        CountryCode(QStringLiteral("CZ"), QStringLiteral("CZE"), QStringLiteral("Czech Republic"), 50.083333, 14.466667,
                    Region::Europe),
        CountryCode(QStringLiteral("EG"), QStringLiteral("EGY"), QStringLiteral("Egypt"), 30.033333, 31.216667,
                    Region::Africa),
        CountryCode(QStringLiteral("FI"), QStringLiteral("FIN"), QStringLiteral("Finland"), 60.166667, 24.933333,
                    Region::Europe),
        CountryCode(QStringLiteral("FR"), QStringLiteral("FRA"), QStringLiteral("France"), 48.856667, 2.3508,
                    Region::Europe),
        CountryCode(QStringLiteral("DE"), QStringLiteral("DEU"), QStringLiteral("Germany"), 52.516667, 13.383333,
                    Region::Europe),
        CountryCode(QStringLiteral("HK"), QStringLiteral("HKG"), QStringLiteral("Hong Kong"), 22.3, 114.2,
                    Region::Asia),
        CountryCode(QStringLiteral("IS"), QStringLiteral("ISL"), QStringLiteral("Iceland"), 64.133333, -21.933333,
                    Region::Europe),
        CountryCode(QStringLiteral("IE"), QStringLiteral("IRL"), QStringLiteral("Ireland"), 53.416667, -8.0,
                    Region::Europe),
        CountryCode(QStringLiteral("IT"), QStringLiteral("ITA"), QStringLiteral("Italy"), 41.9, 12.483333,
                    Region::Europe),
        CountryCode(QStringLiteral("JP"), QStringLiteral("JPN"), QStringLiteral("Japan"), 35.683333, 139.766667,
                    Region::Asia),
        CountryCode(QStringLiteral("MX"), QStringLiteral("MEX"), QStringLiteral("Mexico"), 19.433333, -99.133333,
                    Region::NorthAmerica),
        CountryCode(QStringLiteral("MY"), QStringLiteral("MYS"), QStringLiteral("Malaysia"), 2.5, 112.5, Region::Asia),
        CountryCode(QStringLiteral("NL"), QStringLiteral("NLD"), QStringLiteral("Netherlands"), 52.366667, 4.883333,
                    Region::Europe),
        CountryCode(QStringLiteral("NZ"), QStringLiteral("NZL"), QStringLiteral("New Zealand"), -41.283333, 174.45,
                    Region::Oceania),
        CountryCode(QStringLiteral("NO"), QStringLiteral("NOR"), QStringLiteral("Norway"), 59.933333, 10.683333,
                    Region::Europe),
        CountryCode(QStringLiteral("PA"), QStringLiteral("PAN"), QStringLiteral("Panama"), 8.966667, -79.533333,
                    Region::NorthAmerica),
        CountryCode(QStringLiteral("PL"), QStringLiteral("POL"), QStringLiteral("Poland"), 52.216667, 21.033333,
                    Region::Europe),
        CountryCode(QStringLiteral("RO"), QStringLiteral("ROM"), QStringLiteral("Romania"), 44.416667, 26.1,
                    Region::Europe),
        CountryCode(QStringLiteral("RU"), QStringLiteral("RUS"), QStringLiteral("Russian Federation"), 55.75, 37.616667,
                    Region::Asia),
        CountryCode(QStringLiteral("SG"), QStringLiteral("SGP"), QStringLiteral("Singapore"), 1.283333, 103.833333,
                    Region::Asia),
        CountryCode(QStringLiteral("ES"), QStringLiteral("ESP"), QStringLiteral("Spain"), 40.433333, -3.7,
                    Region::Europe),
        CountryCode(QStringLiteral("SE"), QStringLiteral("SWE"), QStringLiteral("Sweden"), 59.35, 18.066667,
                    Region::Europe),
        CountryCode(QStringLiteral("CH"), QStringLiteral("CHE"), QStringLiteral("Switzerland"), 46.95, 7.45,
                    Region::Europe),
        CountryCode(QStringLiteral("TN"), QStringLiteral("TUN"), QStringLiteral("Tunisia"), 36.833333, 10.15,
                    Region::Africa),
        CountryCode(QStringLiteral("TR"), QStringLiteral("TUR"), QStringLiteral("Turkey"), 39.916667, 32.833333,
                    Region::Asia),
        CountryCode(QStringLiteral("GB"), QStringLiteral("GBR"), QStringLiteral("United Kingdom"), 51.5, -0.116667,
                    Region::Europe),
        CountryCode(QStringLiteral("US"), QStringLiteral("USA"), QStringLiteral("United States"), 38.883333, -77.016667,
                    Region::NorthAmerica),
        CountryCode(QStringLiteral("BE"), QStringLiteral("BEL"), QStringLiteral("Belgium"), 50.85, 4.35,
                    Region::Europe),
        CountryCode(QStringLiteral("DK"), QStringLiteral("DNK"), QStringLiteral("Denmark"), 55.716667, 12.566667,
                    Region::Europe),
        CountryCode(QStringLiteral("LU"), QStringLiteral("LUX"), QStringLiteral("Luxembourg"), 49.6, 6.116667,
                    Region::Europe),
        CountryCode(QStringLiteral("PT"), QStringLiteral("PRT"), QStringLiteral("Portugal"), 38.766667, -9.15,
                    Region::Europe),
        CountryCode(QStringLiteral("AU"), QStringLiteral("AUS"), QStringLiteral("Australia"), -35.308, 149.1245,
                    Region::Oceania),
        CountryCode(QStringLiteral("IN"), QStringLiteral("IND"), QStringLiteral("India"), 28.613333, 77.208333,
                    Region::Asia),
        CountryCode(QStringLiteral("ID"), QStringLiteral("IDN"), QStringLiteral("Indonesia"), -6.175, 106.828333,
                    Region::Asia),
        CountryCode(QStringLiteral("GR"), QStringLiteral("GRC"), QStringLiteral("Greece"), 37.966667, 23.716667,
                    Region::Europe),
        CountryCode(QStringLiteral("CN"), QStringLiteral("CHN"), QStringLiteral("China"), 39.916667, 116.383333,
                    Region::Asia),
        CountryCode(QStringLiteral("CR"), QStringLiteral("CRI"), QStringLiteral("Costa Rica"), 9.933333, -84.083333,
                    Region::NorthAmerica),
        CountryCode(QStringLiteral("KP"), QStringLiteral("PRK"), QStringLiteral("Korea, D.P.R.O."), 39.033333, 125.75,
                    Region::Asia),
        CountryCode(QStringLiteral("KR"), QStringLiteral("KOR"), QStringLiteral("Korea, Republic of"), 37.55,
                    126.966667, Region::Asia),
        CountryCode(QStringLiteral("ZA"), QStringLiteral("ZAF"), QStringLiteral("South Africa"), -30.0, 25.0,
                    Region::Africa),
        CountryCode(QStringLiteral("SA"), QStringLiteral("SAU"), QStringLiteral("Saudi Arabia"), 24.65, 46.766667,
                    Region::Asia),
        CountryCode(QStringLiteral("VN"), QStringLiteral("VNM"), QStringLiteral("Vietnam"), 21.033333, 105.85,
                    Region::Asia),
        CountryCode(QStringLiteral("LV"), QStringLiteral("LVA"), QStringLiteral("Latvia"), 56.95, 24.1, Region::Europe),
        CountryCode(QStringLiteral("MD"), QStringLiteral("MDA"), QStringLiteral("Moldova"), 47.0, 28.916667,
                    Region::Europe),
        CountryCode(QStringLiteral("UA"), QStringLiteral("UKR"), QStringLiteral("Ukraine"), 50.45, 30.5,
                    Region::Europe),
        CountryCode(QStringLiteral("HU"), QStringLiteral("HUN"), QStringLiteral("Hungary"), 47.433333, 19.25,
                    Region::Europe),
        CountryCode(QStringLiteral("TH"), QStringLiteral("THA"), QStringLiteral("Thailand"), 13.75, 100.483333,
                    Region::Asia),
        CountryCode(QStringLiteral("IL"), QStringLiteral("ISR"), QStringLiteral("Israel"), 31.783333, 35.216667,
                    Region::Asia),
        CountryCode(QStringLiteral("IM"), QStringLiteral("IMN"), QStringLiteral("Isle of Man"), 54.15, -4.483333,
                    Region::Europe),
        CountryCode(QStringLiteral("CL"), QStringLiteral("CHL"), QStringLiteral("Chile"), -33.433333, -70.666667,
                    Region::SouthAmerica),
        CountryCode(QStringLiteral("AT"), QStringLiteral("AUT"), QStringLiteral("Austria"), 48.2, 16.35,
                    Region::Europe),
        CountryCode(QStringLiteral("BG"), QStringLiteral("BGR"), QStringLiteral("Bulgaria"), 42.683333, 23.316667,
                    Region::Europe),
        CountryCode(QStringLiteral("SK"), QStringLiteral("SVK"), QStringLiteral("Slovakia"), 48.133333, 17.1,
                    Region::Europe),
        CountryCode(QStringLiteral("AE"), QStringLiteral("ARE"), QStringLiteral("United Arab Emirates"), 25.2645,
                    55.3117, Region::Asia),
        CountryCode(QStringLiteral("TW"), QStringLiteral("TWN"), QStringLiteral("Taiwan"), 25.0333, 121.6333,
                    Region::Asia),
        CountryCode(QStringLiteral("PH"), QStringLiteral("PHL"), QStringLiteral("Philippines"), 14.5833, 120.9667,
                    Region::Asia),
        CountryCode(QStringLiteral("SI"), QStringLiteral("SVN"), QStringLiteral("Slovenia"), 46.0556, 14.5083,
                    Region::Europe),
        CountryCode(QStringLiteral("CY"), QStringLiteral("CYP"), QStringLiteral("Cyprus"), 35.1667, 33.3667,
                    Region::Europe),
        CountryCode(QStringLiteral("BY"), QStringLiteral("BLR"), QStringLiteral("Belarus"), 53.916667, 27.55,
                    Region::Europe),
    };
    return table;
}

CountryCode CountryCode::findByIsoCode(const QString &code)
{
    const QString upper = code.toUpper();
    for (const CountryCode &entry : m_countryCodes) {
        if (entry.m_iso3Code == upper || entry.m_iso2Code == upper)
            return entry;
    }
    return CountryCode(code);
}

QList<CountryCode> CountryCode::countryCodes()
{
    QList<CountryCode> sorted = m_countryCodes;
    std::stable_sort(sorted.begin(), sorted.end(), cmpCountryCodesByName);
    return sorted;
}

bool CountryCode::cmpCountryCodesByName(const CountryCode &first, const CountryCode &second)
{
    return first.m_name < second.m_name;
}

QString CountryCode::getIso2Code() const
{
    return m_iso2Code;
}

QString CountryCode::getIso3Code() const
{
    return m_iso3Code;
}

QString CountryCode::getFlagPath() const
{
    return m_flagPath;
}

QString CountryCode::getName() const
{
    return m_name;
}

GeoLocation CountryCode::getLocation() const
{
    return m_location;
}

Region CountryCode::getRegion() const
{
    return m_region;
}
