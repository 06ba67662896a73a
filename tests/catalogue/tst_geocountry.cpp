#include "catalogue/CountryCode.h"
#include "catalogue/Region.h"

#include <QTest>

class TestGeoCountry : public QObject
{
    Q_OBJECT

private slots:
    void tableHoldsSixtyThreeEntriesPseudoCountriesFirst()
    {
        QCOMPARE(CountryCode::m_countryCodes.size(), 63);
        QCOMPARE(CountryCode::init().size(), 63);
        const CountryCode dedicated = CountryCode::m_countryCodes.at(0);
        QCOMPARE(dedicated.getIso2Code(), QStringLiteral("_A"));
        QCOMPARE(dedicated.getIso3Code(), QStringLiteral("__A"));
        QCOMPARE(dedicated.getName(), QStringLiteral("Dedicated IP"));
        QCOMPARE(dedicated.getFlagPath(), QStringLiteral(":/images/flag__a.png"));
        QCOMPARE(dedicated.getRegion(), Region(Region::All));
        const CountryCode portForward = CountryCode::m_countryCodes.at(1);
        QCOMPARE(portForward.getIso2Code(), QStringLiteral("_B"));
        QCOMPARE(portForward.getIso3Code(), QStringLiteral("__B"));
        QCOMPARE(portForward.getName(), QStringLiteral("Port Forward IP"));
        QCOMPARE(portForward.getFlagPath(), QStringLiteral(":/images/flag__b.png"));
        QCOMPARE(CountryCode::DedicatedIpCountryCode.getName(), QStringLiteral("Dedicated IP"));
        QCOMPARE(CountryCode::PortForwardIpCountryCode.getIso3Code(), QStringLiteral("__B"));
    }

    void countryRows_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("iso2");
        QTest::addColumn<QString>("iso3");
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("latitude");
        QTest::addColumn<double>("longitude");
        QTest::addColumn<int>("region");
        QTest::newRow("3 BR") << 3 << "BR"
                              << "BRA"
                              << "Brazil" << -15.783333 << -47.866667 << int(Region::SouthAmerica);
        QTest::newRow("4 CA") << 4 << "CA"
                              << "CAN"
                              << "Canada" << 45.4 << -75.666667 << int(Region::NorthAmerica);
        QTest::newRow("5 CZ") << 5 << "CZ"
                              << "CZE"
                              << "Czech Republic" << 50.083333 << 14.466667 << int(Region::Europe);
        QTest::newRow("6 EG") << 6 << "EG"
                              << "EGY"
                              << "Egypt" << 30.033333 << 31.216667 << int(Region::Africa);
        QTest::newRow("7 FI") << 7 << "FI"
                              << "FIN"
                              << "Finland" << 60.166667 << 24.933333 << int(Region::Europe);
        QTest::newRow("8 FR") << 8 << "FR"
                              << "FRA"
                              << "France" << 48.856667 << 2.3508 << int(Region::Europe);
        QTest::newRow("9 DE") << 9 << "DE"
                              << "DEU"
                              << "Germany" << 52.516667 << 13.383333 << int(Region::Europe);
        QTest::newRow("10 HK") << 10 << "HK"
                               << "HKG"
                               << "Hong Kong" << 22.3 << 114.2 << int(Region::Asia);
        QTest::newRow("11 IS") << 11 << "IS"
                               << "ISL"
                               << "Iceland" << 64.133333 << -21.933333 << int(Region::Europe);
        QTest::newRow("12 IE") << 12 << "IE"
                               << "IRL"
                               << "Ireland" << 53.416667 << -8.0 << int(Region::Europe);
        QTest::newRow("13 IT") << 13 << "IT"
                               << "ITA"
                               << "Italy" << 41.9 << 12.483333 << int(Region::Europe);
        QTest::newRow("14 JP") << 14 << "JP"
                               << "JPN"
                               << "Japan" << 35.683333 << 139.766667 << int(Region::Asia);
        QTest::newRow("15 MX") << 15 << "MX"
                               << "MEX"
                               << "Mexico" << 19.433333 << -99.133333 << int(Region::NorthAmerica);
        QTest::newRow("16 MY") << 16 << "MY"
                               << "MYS"
                               << "Malaysia" << 2.5 << 112.5 << int(Region::Asia);
        QTest::newRow("17 NL") << 17 << "NL"
                               << "NLD"
                               << "Netherlands" << 52.366667 << 4.883333 << int(Region::Europe);
        QTest::newRow("18 NZ") << 18 << "NZ"
                               << "NZL"
                               << "New Zealand" << -41.283333 << 174.45 << int(Region::Oceania);
        QTest::newRow("19 NO") << 19 << "NO"
                               << "NOR"
                               << "Norway" << 59.933333 << 10.683333 << int(Region::Europe);
        QTest::newRow("20 PA") << 20 << "PA"
                               << "PAN"
                               << "Panama" << 8.966667 << -79.533333 << int(Region::NorthAmerica);
        QTest::newRow("21 PL") << 21 << "PL"
                               << "POL"
                               << "Poland" << 52.216667 << 21.033333 << int(Region::Europe);
        QTest::newRow("22 RO") << 22 << "RO"
                               << "ROM"
                               << "Romania" << 44.416667 << 26.1 << int(Region::Europe);
        QTest::newRow("23 RU") << 23 << "RU"
                               << "RUS"
                               << "Russian Federation" << 55.75 << 37.616667 << int(Region::Asia);
        QTest::newRow("24 SG") << 24 << "SG"
                               << "SGP"
                               << "Singapore" << 1.283333 << 103.833333 << int(Region::Asia);
        QTest::newRow("25 ES") << 25 << "ES"
                               << "ESP"
                               << "Spain" << 40.433333 << -3.7 << int(Region::Europe);
        QTest::newRow("26 SE") << 26 << "SE"
                               << "SWE"
                               << "Sweden" << 59.35 << 18.066667 << int(Region::Europe);
        QTest::newRow("27 CH") << 27 << "CH"
                               << "CHE"
                               << "Switzerland" << 46.95 << 7.45 << int(Region::Europe);
        QTest::newRow("28 TN") << 28 << "TN"
                               << "TUN"
                               << "Tunisia" << 36.833333 << 10.15 << int(Region::Africa);
        QTest::newRow("29 TR") << 29 << "TR"
                               << "TUR"
                               << "Turkey" << 39.916667 << 32.833333 << int(Region::Asia);
        QTest::newRow("30 GB") << 30 << "GB"
                               << "GBR"
                               << "United Kingdom" << 51.5 << -0.116667 << int(Region::Europe);
        QTest::newRow("31 US") << 31 << "US"
                               << "USA"
                               << "United States" << 38.883333 << -77.016667 << int(Region::NorthAmerica);
        QTest::newRow("32 BE") << 32 << "BE"
                               << "BEL"
                               << "Belgium" << 50.85 << 4.35 << int(Region::Europe);
        QTest::newRow("33 DK") << 33 << "DK"
                               << "DNK"
                               << "Denmark" << 55.716667 << 12.566667 << int(Region::Europe);
        QTest::newRow("34 LU") << 34 << "LU"
                               << "LUX"
                               << "Luxembourg" << 49.6 << 6.116667 << int(Region::Europe);
        QTest::newRow("35 PT") << 35 << "PT"
                               << "PRT"
                               << "Portugal" << 38.766667 << -9.15 << int(Region::Europe);
        QTest::newRow("36 AU") << 36 << "AU"
                               << "AUS"
                               << "Australia" << -35.308 << 149.1245 << int(Region::Oceania);
        QTest::newRow("37 IN") << 37 << "IN"
                               << "IND"
                               << "India" << 28.613333 << 77.208333 << int(Region::Asia);
        QTest::newRow("38 ID") << 38 << "ID"
                               << "IDN"
                               << "Indonesia" << -6.175 << 106.828333 << int(Region::Asia);
        QTest::newRow("39 GR") << 39 << "GR"
                               << "GRC"
                               << "Greece" << 37.966667 << 23.716667 << int(Region::Europe);
        QTest::newRow("40 CN") << 40 << "CN"
                               << "CHN"
                               << "China" << 39.916667 << 116.383333 << int(Region::Asia);
        QTest::newRow("41 CR") << 41 << "CR"
                               << "CRI"
                               << "Costa Rica" << 9.933333 << -84.083333 << int(Region::NorthAmerica);
        QTest::newRow("42 KP") << 42 << "KP"
                               << "PRK"
                               << "Korea, D.P.R.O." << 39.033333 << 125.75 << int(Region::Asia);
        QTest::newRow("43 KR") << 43 << "KR"
                               << "KOR"
                               << "Korea, Republic of" << 37.55 << 126.966667 << int(Region::Asia);
        QTest::newRow("44 ZA") << 44 << "ZA"
                               << "ZAF"
                               << "South Africa" << -30.0 << 25.0 << int(Region::Africa);
        QTest::newRow("45 SA") << 45 << "SA"
                               << "SAU"
                               << "Saudi Arabia" << 24.65 << 46.766667 << int(Region::Asia);
        QTest::newRow("46 VN") << 46 << "VN"
                               << "VNM"
                               << "Vietnam" << 21.033333 << 105.85 << int(Region::Asia);
        QTest::newRow("47 LV") << 47 << "LV"
                               << "LVA"
                               << "Latvia" << 56.95 << 24.1 << int(Region::Europe);
        QTest::newRow("48 MD") << 48 << "MD"
                               << "MDA"
                               << "Moldova" << 47.0 << 28.916667 << int(Region::Europe);
        QTest::newRow("49 UA") << 49 << "UA"
                               << "UKR"
                               << "Ukraine" << 50.45 << 30.5 << int(Region::Europe);
        QTest::newRow("50 HU") << 50 << "HU"
                               << "HUN"
                               << "Hungary" << 47.433333 << 19.25 << int(Region::Europe);
        QTest::newRow("51 TH") << 51 << "TH"
                               << "THA"
                               << "Thailand" << 13.75 << 100.483333 << int(Region::Asia);
        QTest::newRow("52 IL") << 52 << "IL"
                               << "ISR"
                               << "Israel" << 31.783333 << 35.216667 << int(Region::Asia);
        QTest::newRow("53 IM") << 53 << "IM"
                               << "IMN"
                               << "Isle of Man" << 54.15 << -4.483333 << int(Region::Europe);
        QTest::newRow("54 CL") << 54 << "CL"
                               << "CHL"
                               << "Chile" << -33.433333 << -70.666667 << int(Region::SouthAmerica);
        QTest::newRow("55 AT") << 55 << "AT"
                               << "AUT"
                               << "Austria" << 48.2 << 16.35 << int(Region::Europe);
        QTest::newRow("56 BG") << 56 << "BG"
                               << "BGR"
                               << "Bulgaria" << 42.683333 << 23.316667 << int(Region::Europe);
        QTest::newRow("57 SK") << 57 << "SK"
                               << "SVK"
                               << "Slovakia" << 48.133333 << 17.1 << int(Region::Europe);
        QTest::newRow("58 AE") << 58 << "AE"
                               << "ARE"
                               << "United Arab Emirates" << 25.2645 << 55.3117 << int(Region::Asia);
        QTest::newRow("59 TW") << 59 << "TW"
                               << "TWN"
                               << "Taiwan" << 25.0333 << 121.6333 << int(Region::Asia);
        QTest::newRow("60 PH") << 60 << "PH"
                               << "PHL"
                               << "Philippines" << 14.5833 << 120.9667 << int(Region::Asia);
        QTest::newRow("61 SI") << 61 << "SI"
                               << "SVN"
                               << "Slovenia" << 46.0556 << 14.5083 << int(Region::Europe);
        QTest::newRow("62 CY") << 62 << "CY"
                               << "CYP"
                               << "Cyprus" << 35.1667 << 33.3667 << int(Region::Europe);
        QTest::newRow("63 BY") << 63 << "BY"
                               << "BLR"
                               << "Belarus" << 53.916667 << 27.55 << int(Region::Europe);
    }

    void countryRows()
    {
        QFETCH(int, position);
        QFETCH(QString, iso2);
        QFETCH(QString, iso3);
        QFETCH(QString, name);
        QFETCH(double, latitude);
        QFETCH(double, longitude);
        QFETCH(int, region);
        const CountryCode entry = CountryCode::m_countryCodes.at(position - 1);
        QCOMPARE(entry.getIso2Code(), iso2);
        QCOMPARE(entry.getIso3Code(), iso3);
        QCOMPARE(entry.getName(), name);
        QCOMPARE(entry.getLocation().getLatitude(), latitude);
        QCOMPARE(entry.getLocation().getLongitude(), longitude);
        QCOMPARE(entry.getLocation().getCountryCode(), iso2);
        QCOMPARE(int(entry.getRegion().getValue()), region);
        QCOMPARE(entry.getFlagPath(), QStringLiteral(":/images/flag_%1.png").arg(iso2.toLower()));

        const CountryCode byIso3 = CountryCode::findByIsoCode(iso3.toLower());
        QCOMPARE(byIso3.getName(), name);
        QCOMPARE(CountryCode::findByIsoCode(iso2).getIso3Code(), iso3);
    }

    void constructorNormalisesCodes()
    {
        const CountryCode entry(QStringLiteral("xY"), QStringLiteral("xyz"), QStringLiteral("Xy land"), 1.0, 2.0,
                                Region::Oceania);
        QCOMPARE(entry.getIso2Code(), QStringLiteral("XY"));
        QCOMPARE(entry.getIso3Code(), QStringLiteral("XYZ"));
        QCOMPARE(entry.getFlagPath(), QStringLiteral(":/images/flag_xy.png"));
        QCOMPARE(entry.getLocation().getCountryCode(), QStringLiteral("xY"));
        QCOMPARE(entry.getName(), QStringLiteral("Xy land"));
    }

    void lookUp_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("iso3");
        QTest::newRow("ROM") << "ROM"
                             << "Romania"
                             << "ROM";
        QTest::newRow("RO") << "RO"
                            << "Romania"
                            << "ROM";
        QTest::newRow("lower-case gbr") << "gbr"
                                        << "United Kingdom"
                                        << "GBR";
        QTest::newRow("mixed-case Fr") << "Fr"
                                       << "France"
                                       << "FRA";
        QTest::newRow("PRK") << "PRK"
                             << "Korea, D.P.R.O."
                             << "PRK";
        QTest::newRow("KR") << "KR"
                            << "Korea, Republic of"
                            << "KOR";
        QTest::newRow("dedicated pseudo") << "__A"
                                          << "Dedicated IP"
                                          << "__A";
        QTest::newRow("port-forward pseudo") << "__b"
                                             << "Port Forward IP"
                                             << "__B";
        QTest::newRow("unknown keeps its case") << "xXx"
                                                << "xXx"
                                                << "???";
        QTest::newRow("ROU is not in the table") << "ROU"
                                                 << "ROU"
                                                 << "???";
        QTest::newRow("empty") << ""
                               << ""
                               << "???";
    }

    void lookUp()
    {
        QFETCH(QString, code);
        QFETCH(QString, name);
        QFETCH(QString, iso3);
        const CountryCode entry = CountryCode::findByIsoCode(code);
        QCOMPARE(entry.getName(), name);
        QCOMPARE(entry.getIso3Code(), iso3);
    }

    void distanceBetweenTableEntries()
    {
        const double km = CountryCode::findByIsoCode(QStringLiteral("GB"))
                              .getLocation()
                              .distanceEarth(CountryCode::findByIsoCode(QStringLiteral("FRA")).getLocation());
        QVERIFY2(qAbs(km - 342.4) < 0.1, qPrintable(QString::number(km)));
    }

    void placeholder()
    {
        const CountryCode entry = CountryCode::findByIsoCode(QStringLiteral("zz"));
        QCOMPARE(entry.getIso2Code(), QStringLiteral("??"));
        QCOMPARE(entry.getIso3Code(), QStringLiteral("???"));
        QCOMPARE(entry.getFlagPath(), QStringLiteral(":/images/flag_empty.png"));
        QCOMPARE(entry.getName(), QStringLiteral("zz"));
        QCOMPARE(entry.getLocation().getLatitude(), 0.0);
        QCOMPARE(entry.getLocation().getLongitude(), 0.0);
        QVERIFY(entry.getLocation().getCountryCode().isEmpty());
        QCOMPARE(entry.getRegion(), Region(Region::All));
    }

    void sortedByNameWithPseudoCountries()
    {
        const QList<CountryCode> sorted = CountryCode::countryCodes();
        QCOMPARE(sorted.size(), 63);
        for (int i = 1; i < sorted.size(); ++i)
            QVERIFY2(sorted.at(i - 1).getName() < sorted.at(i).getName(), qPrintable(sorted.at(i).getName()));
        QCOMPARE(sorted.first().getName(), QStringLiteral("Australia"));
        QCOMPARE(sorted.last().getName(), QStringLiteral("Vietnam"));
        QStringList names;
        for (const CountryCode &entry : sorted)
            names << entry.getName();
        QVERIFY(names.contains(QStringLiteral("Dedicated IP")));
        QVERIFY(names.contains(QStringLiteral("Port Forward IP")));
        // Ordinal comparison: "United Arab Emirates" < "United Kingdom" < "United States".
        QVERIFY(names.indexOf(QStringLiteral("United Arab Emirates"))
                < names.indexOf(QStringLiteral("United Kingdom")));
        QVERIFY(names.indexOf(QStringLiteral("United Kingdom")) < names.indexOf(QStringLiteral("United States")));
        // The table itself keeps its order.
        QCOMPARE(CountryCode::m_countryCodes.at(2).getName(), QStringLiteral("Brazil"));
    }

    void nameComparison()
    {
        const CountryCode upper(QStringLiteral("AA"), QStringLiteral("AAA"), QStringLiteral("Zed"), 0, 0, Region::All);
        const CountryCode lower(QStringLiteral("BB"), QStringLiteral("BBB"), QStringLiteral("alpha"), 0, 0,
                                Region::All);
        QVERIFY(CountryCode::cmpCountryCodesByName(upper, lower));
        QVERIFY(!CountryCode::cmpCountryCodesByName(lower, upper));
        QVERIFY(!CountryCode::cmpCountryCodesByName(upper, upper));
    }

    void regions_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("name");
        QTest::newRow("0") << 0 << "All";
        QTest::newRow("1") << 1 << "Asia";
        QTest::newRow("2") << 2 << "Europe";
        QTest::newRow("3") << 3 << "North America";
        QTest::newRow("4") << 4 << "South America";
        QTest::newRow("5") << 5 << "Oceania";
        QTest::newRow("6") << 6 << "Africa";
        QTest::newRow("7") << 7 << "Invalid name";
        QTest::newRow("-1") << -1 << "Invalid name";
    }

    void regions()
    {
        QFETCH(int, value);
        QFETCH(QString, name);
        QCOMPARE(Region(static_cast<Region::Value>(value)).getDisplayName(), name);
    }

    void allRegionsInOrder()
    {
        const QList<Region> all = Region::getAllRegions();
        QCOMPARE(all.size(), 7);
        for (int i = 0; i < all.size(); ++i)
            QCOMPARE(int(all.at(i).getValue()), i);
        QVERIFY(QMetaType::type("Region") != QMetaType::UnknownType);
        QCOMPARE(QVariant::fromValue(Region(Region::Oceania)).value<Region>(), Region(Region::Oceania));
    }
};

QTEST_GUILESS_MAIN(TestGeoCountry)
#include "tst_geocountry.moc"
