#include "catalogue/CatalogueCsv.h"
#include "catalogue/HalvorixConfig.h"

#include "CatalogueGenerator.h"

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
        previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &message) { lines().append(message); });
    }
    ~LogCapture() { qInstallMessageHandler(previous); }
    static QStringList &lines()
    {
        static QStringList captured;
        return captured;
    }

private:
    QtMessageHandler previous = nullptr;
};

} // namespace

class TestHalvorixConfig : public QObject
{
    Q_OBJECT

    QTemporaryDir tmp;

    QString configDir() const { return tmp.path() + "/configs"; }

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
        QTest::newRow("header repeated in any case") << QByteArray("COUNTRY;x\nUSA;Dallas\ncountry;y\nCountryside;z\n")
                                                   << QStringList{"2:USA|Dallas"};
        QTest::newRow("carriage returns and blanks trimmed") << QByteArray("  USA;Dallas \r\nAUT;Vienna\r\n")
                                                             << QStringList{"1:USA|Dallas", "2:AUT|Vienna"};
        QTest::newRow("no final line feed") << QByteArray("a;b\nc;d") << QStringList{"1:a|b", "2:c|d"};
        QTest::newRow("blank line inside") << QByteArray("a\n\nb\n") << QStringList{"1:a", "2:", "3:b"};
        QTest::newRow("fields kept untrimmed") << QByteArray("a; b ;c") << QStringList{"1:a| b |c"};
        QTest::newRow("field cut at NUL") << QByteArray("ab\0cd;ef", 8) << QStringList{"1:ab|ef"};
        QTest::newRow("UTF-8 fields") << QByteArray("CHE;Z\xc3\xbcrich") << QStringList{QString::fromUtf8("1:CHE|Z\xc3\xbcrich")};
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
        QTest::newRow("numbers") << "32.7767" << "-96.797" << 32.7767 << -96.797 << QStringList();
        QTest::newRow("no range check") << "123.5" << "500" << 123.5 << 500.0 << QStringList();
        QTest::newRow("bad latitude") << "north" << "8.5" << 0.0 << 0.0 << QStringList{"Invalid value for latitude: north"};
        QTest::newRow("comma is no decimal point") << "47,3" << "x" << 0.0 << 0.0
                                                   << QStringList{"Invalid value for latitude: 47,3", "Invalid value for longitude: x"};
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
        QCOMPARE(LogCapture::lines(), (QStringList{
            "Can't parse configs-stealth-proxies.csv, line 3: Not a valid hostname or IP address: 'proxy_1.example'; context: USA;Dallas;proxy_1.example;8388;pw;m",
            "Can't parse configs-stealth-proxies.csv, line 4: Not a port number: ; context: ",
            "Can't parse configs-stealth-proxies.csv, line 6: Port number out of range: 70000; context: DEU;Berlin;10.0.0.2;70000;pw;m",
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
        QCOMPARE(LogCapture::lines(), QStringList{warning.replace("<dir>", QDir(configDir()).absolutePath())});
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
