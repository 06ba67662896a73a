#include "catalogue/CatalogueCsv.h"
#include "catalogue/HalvorixConfig.h"
#include "catalogue/LocalConfigSource.h"
#include "catalogue/ServerSitePortFilter.h"
#include "catalogue/ServerSiteProtocolFilter.h"
#include "prefs/Settings.h"

#include "CatalogueGenerator.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Captures warning and debug lines while alive.
class LogCapture
{
public:
    LogCapture()
    {
        lines().clear();
        m_previous = qInstallMessageHandler(
            [](QtMsgType, const QMessageLogContext &, const QString &message) { lines().append(message); });
    }
    ~LogCapture() { qInstallMessageHandler(m_previous); }
    static QStringList &lines()
    {
        static QStringList captured;
        return captured;
    }

private:
    QtMessageHandler m_previous = nullptr;
};

// Default offers on UDP 1194 and TCP 443; AUT-Vienna has one offer of its
// own, GBR-London an empty list of its own.
const QByteArray cipherJson = R"({
  "default": {"supportedCiphers": [
    {"cipher": "AES-256-GCM", "ciphers": ["AES-256-GCM"], "protocol": "UDP", "port": 1194, "default": true},
    {"cipher": "AES-256-GCM", "protocol": "TCP", "port": 443, "auth": "SHA512"}]},
  "serverSites": {
    "AUT": {"Vienna": {"supportedCiphers": [{"cipher": "AES-128-GCM", "protocol": "UDP", "port": 53}]}},
    "GBR": {"London": {"supportedCiphers": []}}}
})";

QString describe(const HalvorixServerSite &site)
{
    return QStringLiteral("%1|%2|%3|%4%5|%6,%7|%8")
        .arg(site.getId(), site.getUdpConfigFile(), site.getTcpConfigFile())
        .arg(site.isStealth() ? "S" : "-", site.isBittorrent() ? "B" : "-")
        .arg(site.getLocation().getLatitude())
        .arg(site.getLocation().getLongitude())
        .arg(site.getConfigCiphers().size());
}

QStringList describe(const QList<HalvorixServerSite> &sites)
{
    QStringList result;
    for (const HalvorixServerSite &site : sites)
        result.append(describe(site));
    return result;
}

} // namespace

class TestHalvorixConfig : public QObject
{
    Q_OBJECT

    QTemporaryDir m_tmp;

    QString configDir() const { return m_tmp.path() + "/configs"; }

    void writeMember(const QString &name, const QByteArray &bytes)
    {
        QDir().mkpath(configDir());
        QFile file(configDir() + '/' + name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

private slots:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName(QStringLiteral("OrvalVPN-test"));
        QCoreApplication::setApplicationName(QStringLiteral("tst_halvorixconfig"));
    }

    void init()
    {
        QSettings().clear();
        QDir(configDir()).removeRecursively();
    }

    void csvRows_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("rows"); // "line:field|field|..."
        QTest::newRow("header only") << QByteArray("Country;City\n") << QStringList();
        QTest::newRow("header repeated in any case")
            << QByteArray("COUNTRY;x\nUSA;Dallas\ncountry;y\nCountryside;z\n") << QStringList {"2:USA|Dallas"};
        QTest::newRow("carriage returns and blanks trimmed")
            << QByteArray("  USA;Dallas \r\nAUT;Vienna\r\n") << QStringList {"1:USA|Dallas", "2:AUT|Vienna"};
        QTest::newRow("no final line feed") << QByteArray("a;b\nc;d") << QStringList {"1:a|b", "2:c|d"};
        QTest::newRow("blank line inside") << QByteArray("a\n\nb\n") << QStringList {"1:a", "2:", "3:b"};
        QTest::newRow("fields kept untrimmed") << QByteArray("a; b ;c") << QStringList {"1:a| b |c"};
        QTest::newRow("field cut at NUL") << QByteArray("ab\0cd;ef", 8) << QStringList {"1:ab|ef"};
        QTest::newRow("UTF-8 fields") << QByteArray("CHE;Z\xc3\xbcrich")
                                      << QStringList {QString::fromUtf8("1:CHE|Z\xc3\xbcrich")};
        QTest::newRow("empty input") << QByteArray() << QStringList();
    }

    void csvRows()
    {
        QFETCH(QByteArray, content);
        QStringList rows;
        for (const CatalogueCsv::Row &row : CatalogueCsv::rows(content))
            rows.append(QString::number(row.lineNumber) + ':' + row.fields.join('|'));
        QTEST(rows, "rows");
    }

    void toBool_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("value");
        for (const char *yes : {"YES", "yes", "True", "TRUE", "true"})
            QTest::newRow(yes) << QString(yes) << true;
        for (const char *no : {"NO", "Y", "1", "", " YES", "YES "})
            QTest::newRow(qPrintable(QStringLiteral("'%1'").arg(no))) << QString(no) << false;
    }

    void toBool()
    {
        QFETCH(QString, text);
        QTEST(HalvorixConfig::toBool(text), "value");
    }

    void toGeoLocation_data()
    {
        QTest::addColumn<QString>("latitude");
        QTest::addColumn<QString>("longitude");
        QTest::addColumn<double>("lat");
        QTest::addColumn<double>("lon");
        QTest::addColumn<QStringList>("log");
        QTest::newRow("numbers") << "32.7767"
                                 << "-96.797" << 32.7767 << -96.797 << QStringList();
        QTest::newRow("no range check") << "123.5"
                                        << "500" << 123.5 << 500.0 << QStringList();
        QTest::newRow("bad latitude") << "north"
                                      << "8.5" << 0.0 << 0.0 << QStringList {"Invalid value for latitude: north"};
        QTest::newRow("comma is no decimal point")
            << "47,3"
            << "x" << 0.0 << 0.0 << QStringList {"Invalid value for latitude: 47,3", "Invalid value for longitude: x"};
    }

    void toGeoLocation()
    {
        QFETCH(QString, latitude);
        QFETCH(QString, longitude);
        QLocale::setDefault(QLocale(QLocale::German));
        LogCapture log;
        const GeoLocation location = HalvorixConfig::toGeoLocation(latitude, longitude);
        QLocale::setDefault(QLocale::c());
        QTEST(location.getLatitude(), "lat");
        QTEST(location.getLongitude(), "lon");
        QVERIFY(location.getCountryCode().isEmpty());
        QTEST(LogCapture::lines(), "log");
    }

    void stealthProxiesAreDecipheredWithLineNumberedErrors()
    {
        const QByteArray plain = "COUNTRY;CITY;HOST;PORT;PASSWORD;METHOD\n"
                                 "AUT;Vienna;10.0.0.1;443;secret;aes-256-gcm\n"
                                 "USA;Dallas;proxy_1.example;8388;pw;m\n"
                                 "\n"
                                 "GBR;London;ss.proxy.example;8388\n"
                                 "DEU;Berlin;10.0.0.2;70000;pw;m\n";
        writeMember(HalvorixConfig::STEALTH_PROXIES_FILE, CatalogueGenerator::encipherStealthProxies(plain));
        QSettings().setValue("config/configDir", configDir());

        LogCapture log;
        const QList<StealthProxy> proxies = HalvorixConfig::getStealthProxies();
        QCOMPARE(proxies.size(), 2);
        QCOMPARE(proxies[0].getId(), QStringLiteral("AUT-Vienna"));
        QCOMPARE(proxies[0].getHostKind(), StealthProxy::IPV4_ADDRESS);
        QCOMPARE(proxies[0].getPort(), quint16(443));
        QCOMPARE(proxies[0].getPassword(), QStringLiteral("secret"));
        QCOMPARE(proxies[1].getId(), QStringLiteral("GBR-London"));
        QVERIFY(proxies[1].getPassword().isNull());
        QVERIFY(proxies[1].getMethod().isNull());
        QCOMPARE(LogCapture::lines(),
                 (QStringList {
                     "Can't parse configs-stealth-proxies.csv, line 3: Not a valid hostname or IP address: "
                     "'proxy_1.example'; context: USA;Dallas;proxy_1.example;8388;pw;m",
                     "Can't parse configs-stealth-proxies.csv, line 4: Not a port number: ; context: ",
                     "Can't parse configs-stealth-proxies.csv, line 6: Port number out of range: 70000; context: "
                     "DEU;Berlin;10.0.0.2;70000;pw;m",
                 }));
    }

    void stealthProxiesWithoutConfiguration_data()
    {
        QTest::addColumn<bool>("recordDir");
        QTest::addColumn<QString>("warning");
        QTest::newRow("no directory recorded") << false << "WARNING: configDir not set";
        QTest::newRow("member missing") << true << "WARNING: Can't open <dir>/configs-stealth-proxies.csv";
    }

    void stealthProxiesWithoutConfiguration()
    {
        QFETCH(bool, recordDir);
        QFETCH(QString, warning);
        if (recordDir) {
            QDir().mkpath(configDir());
            QSettings().setValue("config/configDir", configDir());
        }
        LogCapture log;
        QVERIFY(HalvorixConfig::getStealthProxies().isEmpty());
        QCOMPARE(LogCapture::lines(), QStringList {warning.replace("<dir>", QDir(configDir()).absolutePath())});
    }

    void validityAndRemoval()
    {
        QVERIFY(!HalvorixConfig::hasValidConfig());
        HalvorixConfig::remove(); // nothing recorded: nothing happens

        writeMember("configs2.csv", "x");
        QSettings settings;
        settings.setValue("config/configDir", configDir());
        settings.setValue("config/version", 3);
        settings.setValue("config/md5sum", "abc");
        QVERIFY(HalvorixConfig::hasValidConfig());

        HalvorixConfig::remove();
        QVERIFY(!QFileInfo::exists(configDir()));
        QSettings after;
        QVERIFY(!after.contains("config/configDir"));
        QVERIFY(!after.contains("config/version"));
        QVERIFY(!after.contains("config/md5sum"));
        QVERIFY(!HalvorixConfig::hasValidConfig());
    }

    void serverSitesFromTheCatalogue_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QStringList>("sites");
        const QByteArray header = "Country;City;TCP;UDP;STEALTH;BITTORRENT;LATITUDE;LONGITUDE\n";
        QTest::newRow("header only") << header << QStringList();
        QTest::newRow("eight fields") << header + "USA;Dallas;u.conf;t.conf;YES;NO;32.5;-96.75\n"
                                      << QStringList {"USA-Dallas|u.conf|t.conf|S-|32.5,-96.75|2"};
        QTest::newRow("six fields: no location") << header + "USA;Dallas;u;t;no;yes\n"
                                                 << QStringList {"USA-Dallas|u|t|-B|0,0|2"};
        QTest::newRow("seven fields: no location") << header + "USA;Dallas;u;t;no;yes;12\n"
                                                   << QStringList {"USA-Dallas|u|t|-B|0,0|2"};
        QTest::newRow("nine fields read as eight") << header + "USA;Dallas;u;t;True;TRUE;1;2;extra\n"
                                                   << QStringList {"USA-Dallas|u|t|SB|1,2|2"};
        QTest::newRow("bad latitude: placed at 0,0 and kept") << header + "USA;Dallas;u;t;Y;1;north;8\n"
                                                              << QStringList {"USA-Dallas|u|t|--|0,0|2"};
        QTest::newRow("duplicates kept") << header + "USA;Dallas;u;t;NO;NO\nUSA;Dallas;u;t;NO;NO\n"
                                         << QStringList {"USA-Dallas|u|t|--|0,0|2", "USA-Dallas|u|t|--|0,0|2"};
        QTest::newRow("header repeated, CRLF lines")
            << header + "USA;Dallas;u;t;NO;NO\r\ncountry;x\r\nAUT;Vienna;v;w;NO;NO\r\n"
            << QStringList {"USA-Dallas|u|t|--|0,0|2", "AUT-Vienna|v|w|--|0,0|1"};
        QTest::newRow("own lists, empty one included")
            << header + "AUT;Vienna;v;w;NO;NO\nGBR;London;l;m;NO;NO\naut;Vienna;v;w;NO;NO\n"
            << QStringList {"AUT-Vienna|v|w|--|0,0|1", "GBR-London|l|m|--|0,0|0", "aut-Vienna|v|w|--|0,0|2"};
        QTest::newRow("blank and short lines skipped")
            << header + "\nUSA;Dallas\nAUT;Vienna;v;w;NO;NO" << QStringList {"AUT-Vienna|v|w|--|0,0|1"};
    }

    void serverSitesFromTheCatalogue()
    {
        QFETCH(QByteArray, csv);
        writeMember(HalvorixConfig::CATALOGUE_FILE, csv);
        writeMember("config5.json", cipherJson);
        QSettings().setValue("config/configDir", configDir());
        QTEST(describe(HalvorixConfig::getServerSites()), "sites");
        QCOMPARE(HalvorixConfig::getServerSitesList().size(), describe(HalvorixConfig::getServerSites()).size());
    }

    void dedicatedSitesComeFirstAndPinsAreRead()
    {
        writeMember(HalvorixConfig::CATALOGUE_FILE, "DEU;Berlin;u;t;NO;NO\nUSA;Dallas;u;t;NO;NO\n");
        writeMember("config5.json", cipherJson);
        QSettings().setValue("config/configDir", configDir());
        {
            Settings settings;
            settings.setServerSitesWithDedicatedIp(
                {HalvorixServerSite::dedicatedServerSite("DEU", "home", QHostAddress("192.0.2.7"), QDir(configDir()),
                                                         ServerSiteProtocolFilter("TCP"), ServerSitePortFilter(443))});
            settings.setPinnedIP("USA-Dallas", QHostAddress("198.51.100.9"));
            settings.setHasPinnedIP("USA-Dallas", true);
        }
        const QList<HalvorixServerSite> sites = HalvorixConfig::getServerSites();
        QCOMPARE(sites.size(), 3);
        QCOMPARE(sites[0].getId(), QStringLiteral("DEU-192.0.2.7"));
        QCOMPARE(sites[0].getDedicatedIpDisplayInfo(), QStringLiteral("home (192.0.2.7 / Protocol: TCP / Port: 443)"));
        QCOMPARE(sites[1].getId(), QStringLiteral("DEU-Berlin"));
        QVERIFY(!sites[1].isPinned());
        QCOMPARE(sites[2].getId(), QStringLiteral("USA-Dallas"));
        QVERIFY(sites[2].isPinned());
        QCOMPARE(sites[2].getPinnedIp(), QHostAddress("198.51.100.9"));
    }

    void serverSitesWithoutCatalogue_data()
    {
        QTest::addColumn<bool>("recordDir");
        QTest::addColumn<QString>("line");
        QTest::newRow("no directory recorded") << false << "FATAL: configDir not set";
        QTest::newRow("catalogue missing") << true << "FATAL: can not read <dir>/configs2.csv";
    }

    void serverSitesWithoutCatalogue()
    {
        QFETCH(bool, recordDir);
        QFETCH(QString, line);
        if (recordDir) {
            QDir().mkpath(configDir());
            QSettings().setValue("config/configDir", configDir());
        }
        LogCapture log;
        QVERIFY(HalvorixConfig::getServerSites().isEmpty());
        QVERIFY2(LogCapture::lines().contains(line.replace("<dir>", QDir(configDir()).absolutePath())),
                 qPrintable(LogCapture::lines().join('\n')));
    }

    void hostNamesComeFromTheUdpFilesOnly()
    {
        writeMember(HalvorixConfig::CATALOGUE_FILE, "USA;Dallas;a-udp.conf;a-tcp.conf;NO;NO\nAUT;Vienna;b-udp.conf;b-"
                                                    "tcp.conf;NO;NO\nGBR;London;none.conf;none.conf;NO;NO\n");
        writeMember("a-udp.conf", "client\nremote one.example 1194\n  remote   two.example 1194 udp\n# remote "
                                  "commented.example\nremote-random\nremote\n");
        writeMember("a-tcp.conf", "remote tcp-only.example 443\n");
        writeMember("b-udp.conf", "remote one.example 1194\n");
        QSettings().setValue("config/configDir", configDir());
        QCOMPARE(HalvorixConfig::getHostNamesFromHalvorixServerSites(),
                 (QStringList {"one.example", "two.example", "one.example"}));
    }

    // The catalogue built into the program, installed and read back whole.
    void builtInCatalogueReadsCompletely()
    {
        LocalConfigSource().execute();
        QVERIFY(HalvorixConfig::hasValidConfig());
        const QList<HalvorixServerSite> sites = HalvorixConfig::getServerSites();
        QVERIFY(sites.size() >= 12);

        QSet<QString> ids;
        QSet<QString> countries;
        const QDir dir(QSettings().value("config/configDir").toString());
        for (const HalvorixServerSite &site : sites) {
            ids.insert(site.getId());
            countries.insert(site.getCountryCode());
            QVERIFY2(!site.supportedCiphers(HalvorixServerSite::UDP).isEmpty(), qPrintable(site.getId()));
            QVERIFY2(!site.supportedCiphers(HalvorixServerSite::TCP).isEmpty(), qPrintable(site.getId()));
            QVERIFY(site.getDefaultCipherFor(HalvorixServerSite::UDP).isValid());
            QVERIFY(site.getOpenVpnConfigFile(HalvorixServerSite::UDP).exists());
            QVERIFY(site.getOpenVpnConfigFile(HalvorixServerSite::TCP).exists());
            for (const OpenVpnConfigCipher &offer : site.getConfigCiphers()) {
                for (const QString &key : {offer.getTlsCrypt(), offer.getTlskey()})
                    QVERIFY2(key.isEmpty() || dir.exists(key), qPrintable(key));
            }
            if (site.isStealth())
                QVERIFY2(site.supportStealthCipher(), qPrintable(site.getId()));
        }
        QVERIFY(ids.contains("USA-Dallas"));
        QVERIFY(countries.size() >= 10);

        QFile dns(dir.absoluteFilePath("dns.json"));
        QVERIFY(dns.open(QIODevice::ReadOnly));
        const QJsonObject resolve = QJsonDocument::fromJson(dns.readAll()).object().value("resolve").toObject();
        const QStringList hosts = HalvorixConfig::getHostNamesFromHalvorixServerSites();
        QVERIFY(hosts.size() >= 2 * 12);
        for (const QString &host : hosts)
            QVERIFY2(!resolve.value(host).toArray().isEmpty(), qPrintable(host));

        LogCapture log;
        const QList<StealthProxy> proxies = HalvorixConfig::getStealthProxies();
        QVERIFY(proxies.size() >= 4);
        QVERIFY2(LogCapture::lines().isEmpty(), qPrintable(LogCapture::lines().join('\n')));
    }

    void deletedDirectoryIsNotValidAndNotForgotten()
    {
        QSettings().setValue("config/configDir", configDir());
        QSettings().setValue("config/version", 3);
        QVERIFY(!HalvorixConfig::hasValidConfig());
        HalvorixConfig::remove();
        QCOMPARE(QSettings().value("config/version").toInt(), 3);
    }
};

QTEST_GUILESS_MAIN(TestHalvorixConfig)
#include "tst_halvorixconfig.moc"
