#include "CatalogueFixtures.h"
#include "openvpn/Remote.h"

#include "catalogue/HalvorixServerSite.h"
#include "openvpn/ConnectVia.h"
#include "prefs/Settings.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace fixtures;

class TestSiteServerSite : public QObject
{
    Q_OBJECT

private slots:
    void identifiers_data()
    {
        QTest::addColumn<QString>("country");
        QTest::addColumn<QString>("city");
        QTest::addColumn<QString>("dedicated");
        QTest::addColumn<QString>("id");
        QTest::newRow("public") << "USA"
                                << "Dallas"
                                << ""
                                << "USA-Dallas";
        QTest::newRow("dedicated v4") << "DE"
                                      << "home"
                                      << "10.8.0.1"
                                      << "DE-10.8.0.1";
        QTest::newRow("dedicated v6") << "DE"
                                      << "home"
                                      << "2001:db8::1"
                                      << "DE-2001:db8::1";
        QTest::newRow("empty") << ""
                               << ""
                               << ""
                               << "-";
    }

    void identifiers()
    {
        QFETCH(QString, country);
        QFETCH(QString, city);
        QFETCH(QString, dedicated);
        QFETCH(QString, id);
        const HalvorixServerSite s(country, city, "u", "t", false, false, QDir(), {}, QHostAddress(dedicated),
                                   GeoLocation(), QString(), 0);
        QCOMPARE(s.getId(), id);
    }

    void protocolTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("protocol");
        QTest::addColumn<bool>("logged");
        QTest::newRow("UDP") << "UDP" << int(HalvorixServerSite::UDP) << false;
        QTest::newRow("tcp") << "tcp" << int(HalvorixServerSite::TCP) << false;
        QTest::newRow("Tcp") << "Tcp" << int(HalvorixServerSite::TCP) << false;
        QTest::newRow("Any") << "Any" << int(HalvorixServerSite::UDP) << true;
        QTest::newRow("empty") << "" << int(HalvorixServerSite::UDP) << true;
    }

    void protocolTexts()
    {
        QFETCH(QString, text);
        QFETCH(int, protocol);
        QFETCH(bool, logged);
        if (logged)
            QTest::ignoreMessage(QtDebugMsg, "Error: Protocol unknown -> switching back to default value UDP");
        QCOMPARE(int(HalvorixServerSite::fromString(text)), protocol);
    }

    void protocolToString()
    {
        QCOMPARE(HalvorixServerSite::toString(HalvorixServerSite::UDP), QStringLiteral("UDP"));
        QCOMPARE(HalvorixServerSite::toString(HalvorixServerSite::TCP), QStringLiteral("TCP"));
        QTest::ignoreMessage(QtDebugMsg, "Error: Protocol unknown -> switching back to default value UDP");
        QCOMPARE(HalvorixServerSite::toString(static_cast<HalvorixServerSite::Protocol>(7)), QStringLiteral("UDP"));
    }

    void defaultSiteIsEmpty()
    {
        const HalvorixServerSite s;
        QVERIFY(s.getCountryCode().isEmpty());
        QVERIFY(s.getCity().isEmpty());
        QVERIFY(s.getUdpConfigFile().isEmpty());
        QVERIFY(!s.isStealth());
        QVERIFY(!s.isBittorrent());
        QVERIFY(s.getConfigCiphers().isEmpty());
        QVERIFY(s.getPinnedIp().isNull());
        QVERIFY(!s.isPinned());
        QVERIFY(s.getDedicatedIp().isNull());
        QCOMPARE(s.getLocation().getLatitude(), 0.0);
        QVERIFY(s.getLocation().getCountryCode().isEmpty());
        QVERIFY(s.getDedicatedProtocol().isEmpty());
        QCOMPARE(s.getPort(), 0);
    }

    void constructorKeepsFlagsApart()
    {
        const HalvorixServerSite stealthOnly("USA", "Dallas", "u", "t", true, false, QDir(), {}, QHostAddress(),
                                             GeoLocation(), QString(), 0);
        QVERIFY(stealthOnly.isStealth());
        QVERIFY(!stealthOnly.isBittorrent());
        const HalvorixServerSite torrentOnly("USA", "Dallas", "u", "t", false, true, QDir(), {}, QHostAddress(),
                                             GeoLocation(), QString(), 0);
        QVERIFY(!torrentOnly.isStealth());
        QVERIFY(torrentOnly.isBittorrent());
    }

    void equality()
    {
        const QDir dir(QStringLiteral("/tmp"));
        const auto make = [&](const QList<OpenVpnConfigCipher> &ciphers, const QString &dedicated,
                              const GeoLocation &location, const QString &protocol, int port) {
            return HalvorixServerSite("USA", "Dallas", "u", "t", false, false, dir, ciphers, QHostAddress(dedicated),
                                      location, protocol, port);
        };
        const HalvorixServerSite base = make({}, QString(), GeoLocation(1, 2, "US"), QString(), 0);
        QVERIFY(base == make({offer("UDP", 1194)}, QString(), GeoLocation(1, 2, "US"), QString(), 0));
        QVERIFY(base == make({}, QStringLiteral("10.0.0.1"), GeoLocation(1, 2, "US"), QString(), 0));
        QVERIFY(base == make({}, QString(), GeoLocation(1, 2, "USA"), QString(), 0));
        QVERIFY(base != make({}, QString(), GeoLocation(1, 3, "US"), QString(), 0));
        QVERIFY(base != make({}, QString(), GeoLocation(1, 2, "US"), QStringLiteral("TCP"), 0));
        QVERIFY(base != make({}, QString(), GeoLocation(1, 2, "US"), QString(), 443));
        QVERIFY(base != site("USA", "Austin"));
        const HalvorixServerSite notANumber = make({}, QString(), GeoLocation(qQNaN(), 2), QString(), 0);
        QVERIFY(notANumber != notANumber);
    }

    void offersByProtocolAndTransport()
    {
        const HalvorixServerSite s =
            site("USA", "Dallas", {offer("UDP", 1194), offer("TCP", 443), offer("UDP", 53), offer("TCP", 80)});
        QCOMPARE(s.supportedCiphers(HalvorixServerSite::UDP),
                 (QList<OpenVpnConfigCipher> {offer("UDP", 1194), offer("UDP", 53)}));
        QCOMPARE(s.supportedCiphers(HalvorixServerSite::TCP),
                 (QList<OpenVpnConfigCipher> {offer("TCP", 443), offer("TCP", 80)}));
        QCOMPARE(s.supportedCiphers(ConnectVia::TCP_WITH_CUSTOM_PROXY()), s.supportedCiphers(HalvorixServerSite::TCP));
        QCOMPARE(s.supportedCiphers(ConnectVia::TCP_WITH_STEALTH_PROXY()), s.supportedCiphers(HalvorixServerSite::TCP));
        QCOMPARE(s.supportedCiphers(ConnectVia::UDP()), s.supportedCiphers(HalvorixServerSite::UDP));
        QCOMPARE(s.getCipherListByProtocolPorts(HalvorixServerSite::UDP, {53, 443}),
                 QList<OpenVpnConfigCipher> {offer("UDP", 53)});
    }

    void cipherByProtocolPortAuth()
    {
        const HalvorixServerSite s =
            site("USA", "Dallas", {offer("UDP", 1194, "SHA256"), offer("UDP", 1194), offer("TCP", 1194)});
        QCOMPARE(s.getCipherByProtocolPortAuth(HalvorixServerSite::UDP, 1194, "SHA256"), offer("UDP", 1194, "SHA256"));
        QCOMPARE(s.getCipherByProtocolPortAuth(HalvorixServerSite::UDP, 1194, ""), offer("UDP", 1194));
        QCOMPARE(s.getCipherByProtocolPortAuth(HalvorixServerSite::UDP, 1194, QString()), offer("UDP", 1194));
        QVERIFY(!s.getCipherByProtocolPortAuth(HalvorixServerSite::UDP, 443, QString()).isValid());
        QVERIFY(!s.getCipherByProtocolPortAuth(HalvorixServerSite::TCP, 1194, "SHA256").isValid());
    }

    void backendCipher()
    {
        OfferFields fields;
        fields.protocol = QStringLiteral("TCP");
        fields.port = 443;
        fields.auth = QStringLiteral("SHA512");
        fields.ciphers = QStringList {QStringLiteral("AES-256-GCM"), QStringLiteral("AES-128-GCM")};
        fields.tlsKey = QStringLiteral("ta.key");
        fields.scrambleMethod = QStringLiteral("xormask");
        fields.stunnelPort = 8443;
        const HalvorixServerSite s = site("USA", "Dallas", {offer(fields)});
        const BackendOpenVPNConfigCipher chosen =
            s.getBackendCipher(HalvorixServerSite::TCP, QStringLiteral("AES-256-GCM"), 443, QStringLiteral("SHA512"));
        QVERIFY(chosen
                == BackendOpenVPNConfigCipher(QStringLiteral("AES-256-GCM"), 443, QStringLiteral("SHA512"), QString(),
                                              QStringLiteral("ta.key"), QStringLiteral("xormask"), QString(), 8443));
        QVERIFY(!s.getBackendCipher(HalvorixServerSite::TCP, QStringLiteral("aes-256-gcm"), 443, "SHA512").isValid());
        QVERIFY(!s.getBackendCipher(HalvorixServerSite::TCP, QStringLiteral("AES-256-GCM"), 80, "SHA512").isValid());
        QVERIFY(!s.getBackendCipher(HalvorixServerSite::UDP, QStringLiteral("AES-256-GCM"), 443, "SHA512").isValid());
    }

    void defaultCipher_data()
    {
        QTest::addColumn<QList<OpenVpnConfigCipher>>("offers");
        QTest::addColumn<int>("expected"); // index into offers, -1 for the invalid offer
        OfferFields flagged;
        flagged.isDefault = true;
        flagged.port = 1;
        OfferFields flaggedToo = flagged;
        flaggedToo.port = 2;
        OfferFields hardCoded;
        hardCoded.cipher = QStringLiteral("AES-128-CBC");
        hardCoded.auth = QStringLiteral("SHA256");
        hardCoded.port = 3;
        OfferFields tcpFlagged = flagged;
        tcpFlagged.protocol = QStringLiteral("TCP");
        QTest::newRow("first flagged wins")
            << QList<OpenVpnConfigCipher> {offer("UDP", 9), offer(flagged), offer(flaggedToo)} << 1;
        QTest::newRow("flag beats hard-coded") << QList<OpenVpnConfigCipher> {offer(hardCoded), offer(flaggedToo)} << 1;
        QTest::newRow("hard-coded next") << QList<OpenVpnConfigCipher> {offer("UDP", 9), offer(hardCoded)} << 1;
        QTest::newRow("else the first") << QList<OpenVpnConfigCipher> {offer("UDP", 9), offer("UDP", 10)} << 0;
        QTest::newRow("other protocol's flag ignored")
            << QList<OpenVpnConfigCipher> {offer(tcpFlagged), offer("UDP", 9)} << 1;
        QTest::newRow("no UDP offers") << QList<OpenVpnConfigCipher> {offer(tcpFlagged)} << -1;
    }

    void defaultCipher()
    {
        QFETCH(QList<OpenVpnConfigCipher>, offers);
        QFETCH(int, expected);
        const OpenVpnConfigCipher chosen = site("USA", "Dallas", offers).getDefaultCipherFor(HalvorixServerSite::UDP);
        if (expected < 0) {
            QVERIFY(!chosen.isValid());
        } else {
            QCOMPARE(chosen, offers.at(expected));
            QCOMPARE(chosen.getPort(), offers.at(expected).getPort());
        }
    }

    void stealthCipherSupport()
    {
        QVERIFY(!site("USA", "Dallas", {offer("UDP", 1)}).supportStealthCipher());
        QVERIFY(site("USA", "Dallas", {offer("UDP", 1), stealthOffer("TCP", 443)}).supportStealthCipher());
        QVERIFY(!site("USA", "Dallas", {}, true).supportStealthCipher());
    }

    void openVpnFiles()
    {
        const HalvorixServerSite s = site("USA", "Dallas", {}, false, GeoLocation(), QDir(QStringLiteral("/cfg")));
        QCOMPARE(s.getOpenVpnConfigFile(HalvorixServerSite::UDP).absoluteFilePath(),
                 QStringLiteral("/cfg/Dallas-udp.conf"));
        QCOMPARE(s.getOpenVpnConfigFile(HalvorixServerSite::TCP).absoluteFilePath(),
                 QStringLiteral("/cfg/Dallas-tcp.conf"));
        QTest::ignoreMessage(QtDebugMsg, "Error: unknown Protocol -> switch back to default value UDP");
        QCOMPARE(s.getOpenVpnConfigFile(static_cast<HalvorixServerSite::Protocol>(5)).fileName(),
                 QStringLiteral("Dallas-udp.conf"));
    }

    void remoteServers_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("hosts");
        QTest::newRow("host and fields") << QByteArray("client\nremote server-a.example 443 udp\n")
                                         << QStringList {"server-a.example"};
        QTest::newRow("indented, several blanks")
            << QByteArray("   remote    10.0.0.5   1194\n") << QStringList {"10.0.0.5"};
        QTest::newRow("two lines in file order") << QByteArray("remote b.example 1\nproto udp\nremote a.example 2\n")
                                                 << QStringList {"b.example", "a.example"};
        QTest::newRow("duplicates stay") << QByteArray("remote a.example\nremote a.example\n")
                                         << QStringList {"a.example", "a.example"};
        QTest::newRow("remote-random") << QByteArray("remote-random\nremote-cert-tls server\n") << QStringList();
        QTest::newRow("commented out") << QByteArray("# remote a.example 1\n;remote b.example\n") << QStringList();
        QTest::newRow("bare keyword") << QByteArray("remote\nremote   \n") << QStringList();
        QTest::newRow("tab after the host")
            << QByteArray("remote\tserver-t.example\t1194\n") << QStringList {"server-t.example"};
        QTest::newRow("CRLF lines") << QByteArray("remote crlf.example 1\r\nremote two.example\r\n")
                                    << QStringList {"crlf.example", "two.example"};
        QTest::newRow("empty file") << QByteArray() << QStringList();
    }

    void remoteServers()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, hosts);
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("site.conf")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        QTest::ignoreMessage(QtDebugMsg, qPrintable(QLatin1Char('"') + file.fileName() + QLatin1Char('"')));
        QCOMPARE(HalvorixServerSite().getRemoteServers(QFileInfo(file.fileName())), hosts);
    }

    void missingFileHasNoRemoteServers()
    {
        QTest::ignoreMessage(QtDebugMsg, "\"/nonexistent/site.conf\"");
        QVERIFY(HalvorixServerSite().getRemoteServers(QFileInfo(QStringLiteral("/nonexistent/site.conf"))).isEmpty());
    }

    void dedicatedDisplay_data()
    {
        QTest::addColumn<QString>("comment");
        QTest::addColumn<QString>("protocol");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("text");
        QTest::newRow("any protocol") << "Office"
                                      << "" << 443 << "Office (10.1.2.3 / Protocol: Any / Port: 443)";
        QTest::newRow("any port") << "Home"
                                  << "TCP" << 0 << "Home (10.1.2.3 / Protocol: TCP / Port: Any)";
        QTest::newRow("place-holders in the comment") << "50%1 %2"
                                                      << "UDP" << 53 << "50%1 %2 (10.1.2.3 / Protocol: UDP / Port: 53)";
    }

    void dedicatedDisplay()
    {
        QFETCH(QString, comment);
        QFETCH(QString, protocol);
        QFETCH(int, port);
        QFETCH(QString, text);
        const HalvorixServerSite s("DEU", comment, "u", "t", false, false, QDir(), {},
                                   QHostAddress(QStringLiteral("10.1.2.3")), GeoLocation(), protocol, port);
        QCOMPARE(s.getDedicatedIpDisplayInfo(), text);
    }

    void publicSiteReadsItsPin()
    {
        Settings settings;
        settings.setPinnedIP(QStringLiteral("USA-Dallas"), QHostAddress(QStringLiteral("198.51.100.7")));
        settings.setHasPinnedIP(QStringLiteral("USA-Dallas"), true);
        HalvorixServerSite dallas = HalvorixServerSite::publicServerSite(
            "USA", "Dallas", "u.conf", "t.conf", true, false, QDir(QStringLiteral("/cfg")), {offer("UDP", 1194)},
            GeoLocation(32.78, -96.8), settings);
        QCOMPARE(dallas.getPinnedIp(), QHostAddress(QStringLiteral("198.51.100.7")));
        QVERIFY(dallas.isPinned());
        QVERIFY(dallas.isStealth());
        QVERIFY(dallas.getDedicatedIp().isNull());
        QVERIFY(dallas.getDedicatedProtocol().isEmpty());
        QCOMPARE(dallas.getPort(), 0);

        const HalvorixServerSite austin = HalvorixServerSite::publicServerSite(
            "USA", "Austin", "u.conf", "t.conf", false, false, QDir(), {}, GeoLocation(), settings);
        QVERIFY(austin.getPinnedIp().isNull());
        QVERIFY(!austin.isPinned());

        // A copy keeps the pin; refresh picks up a change; the pin takes no part in equality.
        const HalvorixServerSite before = dallas;
        settings.setHasPinnedIP(QStringLiteral("USA-Dallas"), false);
        dallas.refresh(settings);
        QVERIFY(!dallas.isPinned());
        QVERIFY(before.isPinned());
        QVERIFY(before == dallas);
        settings.forgetPinnedIP(QStringLiteral("USA-Dallas"));
    }

    void travelsInVariants()
    {
        QVERIFY(QMetaType::type("HalvorixServerSite") != QMetaType::UnknownType);
        QVERIFY(QMetaType::type("QList<HalvorixServerSite>") != QMetaType::UnknownType);
        const HalvorixServerSite s = site("USA", "Dallas", {offer("UDP", 1)});
        QCOMPARE(QVariant::fromValue(s).value<HalvorixServerSite>().getConfigCiphers().size(), 1);
    }

    // The OpenConnect server comes from the UDP file whatever the protocol, on
    // the configuration's OpenConnect port.
    void openConnectServer()
    {
        QTemporaryDir dir;
        QSettings().setValue(QStringLiteral("config/configDir"), dir.path());
        auto write = [&](const QString &name, const QByteArray &content) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        };
        write(QStringLiteral("Dallas-udp.conf"), "client\nremote a.orvalvpn.test 1194\nremote b.orvalvpn.test 1195\n");
        write(QStringLiteral("Dallas-tcp.conf"), "client\nremote tcp-only.orvalvpn.test 443\n");
        write(QStringLiteral("openconnect.json"), R"({"default": {"port": 4443}})");
        const HalvorixServerSite dallas =
            site(QStringLiteral("US"), QStringLiteral("Dallas"), {}, false, GeoLocation(), QDir(dir.path()));

        QScopedPointer<Remote> remote(dallas.getOpenConnectServer(HalvorixServerSite::TCP));
        QVERIFY2(QStringList({"a.orvalvpn.test", "b.orvalvpn.test"}).contains(remote->getHost()),
                 qPrintable(remote->getHost()));
        QCOMPARE(remote->getPort(), 4443);
        QCOMPARE(remote->getProtocol(), QStringLiteral("TCP"));

        QFile::remove(dir.filePath(QStringLiteral("Dallas-udp.conf")));
        remote.reset(dallas.getOpenConnectServer(HalvorixServerSite::UDP));
        QCOMPARE(remote->getHost(), QStringLiteral("SERVERNOTFOUND"));
        QCOMPARE(remote->getProtocol(), QStringLiteral("UDP"));
    }
};

QTEST_GUILESS_MAIN(TestSiteServerSite)
#include "tst_siteserversite.moc"
