#include "CatalogueFixtures.h"

#include "catalogue/ConfigJson.h"
#include "catalogue/HalvorixServerSite.h"
#include "catalogue/ServerSitePortFilter.h"
#include "catalogue/ServerSiteProtocolFilter.h"
#include "prefs/Settings.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace fixtures;

namespace {

const char *const CONFIG5 = R"({
  "default": {
    "supportedCiphers": [
      { "cipher": "AES-128-GCM", "ciphers": ["AES-128-GCM", "AES-256-GCM"], "protocol": "UDP", "port": 1194,
        "default": true },
      { "cipher": "AES-256-CBC", "ciphers": "AES-256-CBC", "protocol": "TCP", "port": 443, "auth": "SHA512",
        "tlscrypt": "tc.key", "stunnel-port": 8443 },
      { "cipher": "AES-128-GCM", "ciphers": ["AES-128-GCM"], "protocol": "udp", "port": 53 },
      { "cipher": "AES-128-GCM", "ciphers": ["AES-128-GCM"], "protocol": "UDP", "port": 443, "auth": "SHA256",
        "scrambleMethod": "xormask", "scrambleMask": "s" },
      "not an object",
      { "cipher": "AES-128-GCM", "protocol": "UDP", "port": "1194" },
      { "cipher": "X", "protocol": "UDP", "port": 1194.5 },
      { "cipher": "X", "protocol": "UDP", "port": 1e20 }
    ]
  },
  "serverSites": {
    "USA": {
      "Dallas": { "supportedCiphers": [
          { "cipher": "BF-CBC", "ciphers": ["BF-CBC"], "protocol": "TCP", "port": 80 },
          { "cipher": "BF-CBC", "protocol": "SCTP", "port": 81 },
          { "cipher": "AES-128-GCM", "ciphers": ["AES-128-GCM"], "protocol": "UDP", "port": 82 } ] },
      "Austin": { "note": "no list of its own" },
      "Empty": { "supportedCiphers": [] },
      "NotAList": { "supportedCiphers": 5 }
    }
  }
})";

}

class TestCipherLists : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    void writeConfig(const QByteArray &content)
    {
        QFile file(m_dir.filePath(QStringLiteral("config5.json")));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }

    void expectDefaultRejections(int count)
    {
        for (int i = 0; i < count; ++i)
            QTest::ignoreMessage(QtDebugMsg, "Invalid argument while parsing JSON defaults");
    }

    QList<OpenVpnConfigCipher> expectedDefaults() const
    {
        OfferFields udp;
        udp.ciphers = QStringList {"AES-128-GCM", "AES-256-GCM"};
        udp.isDefault = true;
        OfferFields tcp;
        tcp.cipher = QStringLiteral("AES-256-CBC");
        tcp.ciphers = QStringList {"AES-256-CBC"};
        tcp.protocol = QStringLiteral("TCP");
        tcp.port = 443;
        tcp.auth = QStringLiteral("SHA512");
        tcp.tlsCrypt = QStringLiteral("tc.key");
        tcp.stunnelPort = 8443;
        const OpenVpnConfigCipher stealth(QStringLiteral("AES-128-GCM"), QStringList {"AES-128-GCM"},
                                          QStringLiteral("UDP"), 443, QStringLiteral("SHA256"), QString(), QString(),
                                          false, QStringLiteral("xormask"), QStringLiteral("s"), 0);
        return {offer(udp), offer(tcp), stealth};
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QSettings().setValue(QStringLiteral("config/configDir"), m_dir.path());
    }

    void init() { writeConfig(CONFIG5); }

    void defaultOffersSkipRejectedOnes()
    {
        Settings settings;
        const ConfigJson json(settings);
        // Lower-case protocol, a non-object, a port given as text, a fractional and a huge port.
        expectDefaultRejections(5);
        const QList<OpenVpnConfigCipher> defaults = json.getDefaultCiphers();
        QCOMPARE(defaults, expectedDefaults());
        QVERIFY(defaults.at(0).isDefault());
        QCOMPARE(defaults.at(1).getCiphers(), QStringList {"AES-256-CBC"});
        QCOMPARE(defaults.at(1).getTlsCrypt(), QStringLiteral("tc.key"));
        QVERIFY(defaults.at(1).getTlskey().isNull());
        QVERIFY(defaults.at(0).getAuth().isNull());
    }

    void siteLists_data()
    {
        QTest::addColumn<QString>("country");
        QTest::addColumn<QString>("city");
        QTest::addColumn<QList<int>>("ports");
        QTest::addColumn<int>("defaultRejections");
        QTest::addColumn<int>("siteRejections");
        const QList<int> defaults {1194, 443, 443};
        QTest::newRow("own list, bad offer dropped") << "USA"
                                                     << "Dallas" << QList<int> {80, 82} << 0 << 1;
        QTest::newRow("city without a list") << "USA"
                                             << "Austin" << defaults << 5 << 0;
        QTest::newRow("site missing") << "FRA"
                                      << "Paris" << defaults << 5 << 0;
        QTest::newRow("keys differ in case") << "usa"
                                             << "dallas" << defaults << 5 << 0;
        QTest::newRow("empty own list") << "USA"
                                        << "Empty" << QList<int>() << 0 << 0;
        QTest::newRow("own list not an array") << "USA"
                                               << "NotAList" << QList<int>() << 0 << 0;
    }

    void siteLists()
    {
        QFETCH(QString, country);
        QFETCH(QString, city);
        QFETCH(QList<int>, ports);
        QFETCH(int, defaultRejections);
        QFETCH(int, siteRejections);
        Settings settings;
        const ConfigJson json(settings);
        expectDefaultRejections(defaultRejections);
        const QByteArray line = "Invalid argument while parsing JSON for country/city:  \"" + country.toUtf8() + "\" \""
                                + city.toUtf8() + '"';
        for (int i = 0; i < siteRejections; ++i)
            QTest::ignoreMessage(QtDebugMsg, line.constData());
        QList<int> found;
        for (const OpenVpnConfigCipher &cipher : json.getCipherListFromJson(country, city))
            found << cipher.getPort();
        QCOMPARE(found, ports);
    }

    void singleOfferFromJson()
    {
        Settings settings;
        const ConfigJson json(settings);
        const QJsonObject object = QJsonDocument::fromJson(
                                       R"({"cipher":"AES-128-GCM","ciphers":"AES-128-GCM","protocol":"TCP","port":443,
                                          "scrambleMethod":"xormask","default":"yes"})")
                                       .object();
        const OpenVpnConfigCipher cipher = json.getCipherFromJson(object);
        QCOMPARE(cipher.getCiphers(), QStringList {"AES-128-GCM"});
        QVERIFY(cipher.isStealth());
        QVERIFY(!cipher.isDefault());
        QVERIFY_EXCEPTION_THROWN(json.getCipherFromJson(QJsonValue(3)), std::invalid_argument);
    }

    void unreadableOrMalformedFileGivesEmptyLists_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("present");
        QTest::newRow("missing") << QByteArray() << false;
        QTest::newRow("not JSON") << QByteArray("{ nope") << true;
        QTest::newRow("array at the top") << QByteArray("[1, 2]") << true;
    }

    void unreadableOrMalformedFileGivesEmptyLists()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, present);
        const QString path = m_dir.filePath(QStringLiteral("config5.json"));
        QFile::remove(path);
        if (present)
            writeConfig(content);
        else
            QTest::ignoreMessage(QtDebugMsg, qPrintable(QStringLiteral("FATAL: can not read  \"%1\"").arg(path)));
        Settings settings;
        const ConfigJson json(settings);
        QVERIFY(json.getDefaultCiphers().isEmpty());
        QVERIFY(json.getCipherListFromJson(QStringLiteral("USA"), QStringLiteral("Dallas")).isEmpty());
    }

    void dedicatedSites_data()
    {
        QTest::addColumn<QString>("protocol");
        QTest::addColumn<int>("port");
        QTest::addColumn<QList<int>>("ports");
        QTest::addColumn<QString>("udpFile");
        QTest::addColumn<QString>("tcpFile");
        QTest::newRow("any, any") << "" << 0 << QList<int> {1194, 443, 443} << "dedicated-udp.conf"
                                  << "dedicated-tcp.conf";
        QTest::newRow("TCP only") << "TCP" << 0 << QList<int> {443} << "dedicated-udp.conf.off"
                                  << "dedicated-tcp.conf";
        QTest::newRow("UDP only") << "udp" << 0 << QList<int> {1194, 443} << "dedicated-udp.conf"
                                  << "dedicated-tcp.conf.off";
        QTest::newRow("any protocol, port 443") << "" << 443 << QList<int> {443, 443} << "dedicated-udp.conf"
                                                << "dedicated-tcp.conf";
        QTest::newRow("UDP on 1194") << "UDP" << 1194 << QList<int> {1194} << "dedicated-udp.conf"
                                     << "dedicated-tcp.conf.off";
    }

    void dedicatedSites()
    {
        QFETCH(QString, protocol);
        QFETCH(int, port);
        QFETCH(QList<int>, ports);
        QFETCH(QString, udpFile);
        QFETCH(QString, tcpFile);
        expectDefaultRejections(5);
        const HalvorixServerSite s = HalvorixServerSite::dedicatedServerSite(
            QStringLiteral("DEU"), QStringLiteral("home"), QHostAddress(QStringLiteral("10.8.0.1")), QDir(m_dir.path()),
            ServerSiteProtocolFilter(protocol), ServerSitePortFilter(port));
        QList<int> found;
        for (const OpenVpnConfigCipher &cipher : s.getConfigCiphers())
            found << cipher.getPort();
        QCOMPARE(found, ports);
        QCOMPARE(s.getUdpConfigFile(), udpFile);
        QCOMPARE(s.getTcpConfigFile(), tcpFile);
        QCOMPARE(s.getId(), QStringLiteral("DEU-10.8.0.1"));
        QCOMPARE(s.getCity(), QStringLiteral("home"));
        QCOMPARE(s.getDedicatedProtocol(), protocol.toUpper());
        QCOMPARE(s.getPort(), port);
        QCOMPARE(s.getLocation().getLatitude(), 52.516667);
        QCOMPARE(s.getLocation().getCountryCode(), QStringLiteral("DE"));
        QVERIFY(!s.isPinned());
        QVERIFY(!s.isStealth());
        QCOMPARE(s.getConfigDir(), QDir(m_dir.path()));
    }

    void dedicatedSiteOfUnknownCountry()
    {
        expectDefaultRejections(5);
        const HalvorixServerSite s = HalvorixServerSite::dedicatedServerSite(
            QStringLiteral("QQQ"), QStringLiteral("lab"), QHostAddress(QStringLiteral("192.0.2.7")), QDir(m_dir.path()),
            ServerSiteProtocolFilter(), ServerSitePortFilter());
        QCOMPARE(s.getLocation().getLatitude(), 0.0);
        QCOMPARE(s.getLocation().getLongitude(), 0.0);
        QVERIFY(s.getLocation().getCountryCode().isEmpty());
        QCOMPARE(s.getDedicatedIpDisplayInfo(), QStringLiteral("lab (192.0.2.7 / Protocol: Any / Port: Any)"));
    }
};

QTEST_GUILESS_MAIN(TestCipherLists)
#include "tst_cipherlists.moc"
