#include "catalogue/BackendOpenVPNConfigCipher.h"
#include "catalogue/OpenVpnConfigCipher.h"

#include <QTest>

#include <functional>
#include <stdexcept>

namespace {

struct Offer
{
    QString cipher = QStringLiteral("AES-128-GCM");
    QStringList ciphers {QStringLiteral("AES-128-GCM")};
    QString protocol = QStringLiteral("UDP");
    int port = 1194;
    QString auth;
    QString tlsCrypt;
    QString tlsKey;
    bool isDefault = false;
    QString scrambleMethod;
    QString scrambleMask;
    int stunnelPort = 0;

    OpenVpnConfigCipher build() const
    {
        return OpenVpnConfigCipher(cipher, ciphers, protocol, port, auth, tlsCrypt, tlsKey, isDefault, scrambleMethod,
                                   scrambleMask, stunnelPort);
    }
};

QString messageOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const std::invalid_argument &e) {
        return QString::fromUtf8(e.what());
    }
    return QStringLiteral("<no exception>");
}

} // namespace

class TestCipherOffer : public QObject
{
    Q_OBJECT

private slots:
    void offerValidation_data()
    {
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("protocol");
        QTest::addColumn<int>("stunnelPort");
        QTest::addColumn<QString>("tlsCrypt");
        QTest::addColumn<QString>("tlsKey");
        QTest::addColumn<QString>("message");
        const QString ok = QStringLiteral("<no exception>");
        QTest::newRow("valid") << 443 << "TCP" << 0 << ""
                               << "" << ok;
        QTest::newRow("port 0") << 0 << "UDP" << 0 << ""
                                << ""
                                << "Invalid port: 0";
        QTest::newRow("port 1") << 1 << "UDP" << 0 << ""
                                << "" << ok;
        QTest::newRow("port 65535") << 65535 << "UDP" << 0 << ""
                                    << "" << ok;
        QTest::newRow("port 65536") << 65536 << "UDP" << 0 << ""
                                    << ""
                                    << "Invalid port: 65536";
        QTest::newRow("negative port") << -5 << "UDP" << 0 << ""
                                       << ""
                                       << "Invalid port: -5";
        QTest::newRow("port before protocol") << 0 << "SCTP" << 0 << ""
                                              << ""
                                              << "Invalid port: 0";
        QTest::newRow("lower-case protocol") << 1194 << "udp" << 0 << ""
                                             << ""
                                             << "Invalid protocol: udp";
        QTest::newRow("empty protocol") << 1194 << "" << 0 << ""
                                        << ""
                                        << "Invalid protocol: ";
        QTest::newRow("stunnel 65535") << 1194 << "TCP" << 65535 << ""
                                       << "" << ok;
        QTest::newRow("stunnel -1") << 1194 << "TCP" << -1 << ""
                                    << ""
                                    << "Invalid STunnelPort: -1";
        QTest::newRow("stunnel 65536") << 1194 << "TCP" << 65536 << ""
                                       << ""
                                       << "Invalid STunnelPort: 65536";
        QTest::newRow("tls-crypt alone") << 1194 << "UDP" << 0 << "tc.key"
                                         << "" << ok;
        QTest::newRow("tls-key alone") << 1194 << "UDP" << 0 << ""
                                       << "ta.key" << ok;
        QTest::newRow("both tls files")
            << 1194 << "UDP" << 0 << "tc.key"
            << "ta.key"
            << "Invalid parameter combination: tls-crypt and tls-key are mutually exclusive";
        QTest::newRow("stunnel before tls") << 1194 << "UDP" << -1 << "tc.key"
                                            << "ta.key"
                                            << "Invalid STunnelPort: -1";
    }

    void offerValidation()
    {
        QFETCH(int, port);
        QFETCH(QString, protocol);
        QFETCH(int, stunnelPort);
        QFETCH(QString, tlsCrypt);
        QFETCH(QString, tlsKey);
        QFETCH(QString, message);
        Offer offer;
        offer.port = port;
        offer.protocol = protocol;
        offer.stunnelPort = stunnelPort;
        offer.tlsCrypt = tlsCrypt;
        offer.tlsKey = tlsKey;
        QCOMPARE(messageOf([&] { QVERIFY(offer.build().isValid()); }), message);
        // The single-cipher constructor validates the same way.
        QCOMPARE(messageOf([&] {
                     OpenVpnConfigCipher(offer.cipher, protocol, port, QString(), tlsCrypt, tlsKey, false, QString(),
                                         QString(), stunnelPort);
                 }),
                 message);
    }

    void displayTexts_data()
    {
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("cipher");
        QTest::addColumn<QString>("auth");
        QTest::addColumn<QString>("scrambleMethod");
        QTest::addColumn<QString>("scrambleMask");
        QTest::addColumn<QString>("displayName");
        QTest::addColumn<QString>("portName");
        QTest::newRow("plain") << 1194 << "AES-256-CBC"
                               << ""
                               << ""
                               << ""
                               << "AES-256-CBC"
                               << "1194";
        QTest::newRow("digest and stealth") << 443 << "AES-128-GCM"
                                            << "SHA256"
                                            << "xormask"
                                            << "k"
                                            << "AES-128-GCM | SHA256 | Stealth"
                                            << "443 ( SHA256 ) | Stealth";
        QTest::newRow("digest only") << 443 << "AES-128-GCM"
                                     << "SHA512"
                                     << ""
                                     << ""
                                     << "AES-128-GCM | SHA512"
                                     << "443 ( SHA512 )";
        QTest::newRow("stealth only") << 53 << "BF-CBC"
                                      << ""
                                      << "obfuscate"
                                      << ""
                                      << "BF-CBC | Stealth"
                                      << "53 | Stealth";
        QTest::newRow("mask without method") << 80 << "AES-128-GCM"
                                             << ""
                                             << ""
                                             << "mask"
                                             << "AES-128-GCM"
                                             << "80";
    }

    void displayTexts()
    {
        QFETCH(int, port);
        QFETCH(QString, cipher);
        QFETCH(QString, auth);
        QFETCH(QString, scrambleMethod);
        QFETCH(QString, scrambleMask);
        QFETCH(QString, displayName);
        QFETCH(QString, portName);
        Offer offer;
        offer.port = port;
        offer.cipher = cipher;
        offer.auth = auth;
        offer.scrambleMethod = scrambleMethod;
        offer.scrambleMask = scrambleMask;
        const OpenVpnConfigCipher built = offer.build();
        QCOMPARE(built.getDisplayName(), displayName);
        QCOMPARE(built.getDisplayPortAuthStealthName(), portName);
        QCOMPARE(built.isStealth(), !scrambleMethod.isEmpty());
    }

    void emptyDigestIsShownNowhereButNamedSha1()
    {
        const OpenVpnConfigCipher offer = Offer().build();
        QVERIFY(offer.getAuth().isEmpty());
        QCOMPARE(offer.getAuthName(), QStringLiteral("SHA1"));
        QVERIFY(!offer.getDisplayName().contains(QStringLiteral("SHA1")));
    }

    void defaultConstructedOfferIsInvalidAndBlank()
    {
        const OpenVpnConfigCipher offer;
        QVERIFY(!offer.isValid());
        QVERIFY(offer.getDisplayName().isEmpty());
        QVERIFY(offer.getDisplayPortAuthStealthName().isEmpty());
        QCOMPARE(offer.getProtocol(), QStringLiteral("UDP"));
        QCOMPARE(offer.getPort(), 0);
        QVERIFY(offer.getCiphers().isEmpty());
        QVERIFY(!offer.isDefault());
        QVERIFY(!offer.toBackendOpenVPNConfigCipher().isValid());
    }

    void hardCodedDefault_data()
    {
        QTest::addColumn<QString>("cipher");
        QTest::addColumn<QString>("auth");
        QTest::addColumn<bool>("hardCoded");
        QTest::newRow("exact") << "AES-128-CBC"
                               << "SHA256" << true;
        QTest::newRow("lower-case label") << "aes-128-cbc"
                                          << "SHA256" << false;
        QTest::newRow("other digest") << "AES-128-CBC"
                                      << "SHA1" << false;
        QTest::newRow("no digest") << "AES-128-CBC"
                                   << "" << false;
    }

    void hardCodedDefault()
    {
        QFETCH(QString, cipher);
        QFETCH(QString, auth);
        QFETCH(bool, hardCoded);
        Offer offer;
        offer.cipher = cipher;
        offer.auth = auth;
        QCOMPARE(offer.build().isHardCodedDefault(), hardCoded);
    }

    void equalityIgnoresOnlyTheDefaultFlag()
    {
        Offer a;
        Offer b = a;
        b.isDefault = true;
        QVERIFY(a.build() == b.build());
        QVERIFY(b.build().isDefault());

        Offer reordered = a;
        a.ciphers = QStringList {QStringLiteral("AES-128-GCM"), QStringLiteral("AES-256-GCM")};
        reordered.ciphers = QStringList {QStringLiteral("AES-256-GCM"), QStringLiteral("AES-128-GCM")};
        QVERIFY(a.build() != reordered.build());

        Offer masked = a;
        masked.scrambleMask = QStringLiteral("m");
        QVERIFY(a.build() != masked.build());
        QVERIFY(OpenVpnConfigCipher() == OpenVpnConfigCipher());
        QVERIFY(OpenVpnConfigCipher() != a.build());
    }

    void conversionCarriesEverythingButProtocolAndNames()
    {
        Offer offer;
        offer.protocol = QStringLiteral("TCP");
        offer.port = 443;
        offer.auth = QStringLiteral("SHA512");
        offer.tlsCrypt = QStringLiteral("tc.key");
        offer.scrambleMethod = QStringLiteral("xormask");
        offer.scrambleMask = QStringLiteral("s");
        offer.stunnelPort = 8443;
        const BackendOpenVPNConfigCipher backend = offer.build().toBackendOpenVPNConfigCipher();
        QVERIFY(backend
                == BackendOpenVPNConfigCipher(QStringLiteral("AES-128-GCM"), 443, QStringLiteral("SHA512"),
                                              QStringLiteral("tc.key"), QString(), QStringLiteral("xormask"),
                                              QStringLiteral("s"), 8443));
    }

    void defaultCipher() { QCOMPARE(OpenVpnConfigCipher::defaultCipherStr, QStringLiteral("AES-128-GCM")); }

    void backendFactory_data()
    {
        QTest::addColumn<int>("port");
        QTest::addColumn<int>("stunnelPort");
        QTest::addColumn<QString>("tlsCrypt");
        QTest::addColumn<QString>("tlsKey");
        QTest::addColumn<bool>("valid");
        QTest::newRow("valid") << 1194 << 0 << ""
                               << "" << true;
        QTest::newRow("port 0") << 0 << 0 << ""
                                << "" << false;
        QTest::newRow("port 65536") << 65536 << 0 << ""
                                    << "" << false;
        QTest::newRow("stunnel 65535") << 443 << 65535 << ""
                                       << "" << true;
        QTest::newRow("stunnel 65536") << 443 << 65536 << ""
                                       << "" << false;
        QTest::newRow("tls-crypt only") << 443 << 0 << "tc.key"
                                        << "" << true;
        QTest::newRow("tls-key only") << 443 << 0 << ""
                                      << "ta.key" << true;
        QTest::newRow("both tls files") << 443 << 0 << "tc.key"
                                        << "ta.key" << false;
    }

    void backendFactory()
    {
        QFETCH(int, port);
        QFETCH(int, stunnelPort);
        QFETCH(QString, tlsCrypt);
        QFETCH(QString, tlsKey);
        QFETCH(bool, valid);
        if (!valid) {
            const QString line =
                QStringLiteral("Invalid argument while constructing BackendOpenVpnConfigCipher:  cipher  \"AES\" "
                               "port  %1 auth  \"\" tlscrypt  \"%2\" tlskey  \"%3\" scrambleMethod  \"\" "
                               "scrambleMask  \"\" stunnel-port  %4")
                    .arg(port)
                    .arg(tlsCrypt, tlsKey)
                    .arg(stunnelPort);
            QTest::ignoreMessage(QtDebugMsg, qPrintable(line));
        }
        const BackendOpenVPNConfigCipher cipher = BackendOpenVPNConfigCipher::createBackendOpenVpnConfigCipher(
            QStringLiteral("AES"), port, QString(), tlsCrypt, tlsKey, QString(), QString(), stunnelPort);
        QCOMPARE(cipher.isValid(), valid);
        if (!valid)
            QVERIFY(cipher == BackendOpenVPNConfigCipher());
    }

    void backendConstructorMessages_data()
    {
        QTest::addColumn<int>("port");
        QTest::addColumn<int>("stunnelPort");
        QTest::addColumn<bool>("bothTlsFiles");
        QTest::addColumn<QString>("message");
        QTest::newRow("port") << 0 << 0 << false << "Invalid port: 0";
        QTest::newRow("port first") << 70000 << -1 << true << "Invalid port: 70000";
        QTest::newRow("stunnel port") << 1 << -1 << true << "Invalid STunnelPort: -1";
        QTest::newRow("tls files") << 1 << 1 << true
                                   << "Invalid parameter combination: tls-crypt and tls-key are mutually exclusive";
    }

    void backendConstructorMessages()
    {
        QFETCH(int, port);
        QFETCH(int, stunnelPort);
        QFETCH(bool, bothTlsFiles);
        QFETCH(QString, message);
        const QString key = bothTlsFiles ? QStringLiteral("k") : QString();
        QCOMPARE(messageOf([&] {
                     BackendOpenVPNConfigCipher(QStringLiteral("AES"), port, QString(), key, key, QString(), QString(),
                                                stunnelPort);
                 }),
                 message);
    }

    void backendInfoText_data()
    {
        QTest::addColumn<QString>("auth");
        QTest::addColumn<QString>("scrambleMethod");
        QTest::addColumn<int>("stunnelPort");
        QTest::addColumn<QString>("text");
        QTest::newRow("defaults") << ""
                                  << "" << 0
                                  << "Cipher: AES-256-GCM\nPort: 1194\nAuth: SHA1\nSTunnel available: false\n"
                                     "Stealth available: false";
        QTest::newRow("everything") << "SHA512"
                                    << "xormask" << 8443
                                    << "Cipher: AES-256-GCM\nPort: 1194\nAuth: SHA512\nSTunnel available: true\n"
                                       "Stealth available: true";
    }

    void backendInfoText()
    {
        QFETCH(QString, auth);
        QFETCH(QString, scrambleMethod);
        QFETCH(int, stunnelPort);
        QFETCH(QString, text);
        const BackendOpenVPNConfigCipher cipher(QStringLiteral("AES-256-GCM"), 1194, auth, QString(), QString(),
                                                scrambleMethod, QString(), stunnelPort);
        QCOMPARE(cipher.toInfoString(), text);
        QCOMPARE(cipher.toInfoString().count(QLatin1Char('\n')), 4);
        QCOMPARE(cipher.getAuthName(), auth.isEmpty() ? QStringLiteral("SHA1") : auth);
        QCOMPARE(cipher.getAuth(), auth);
        QCOMPARE(cipher.hasSTunnelPort(), stunnelPort != 0);
        QCOMPARE(cipher.isStealth(), !scrambleMethod.isEmpty());
    }

    void invalidBackendInfoText()
    {
        QCOMPARE(BackendOpenVPNConfigCipher().toInfoString(), QStringLiteral("Invalid Cipher"));
        QVERIFY(!BackendOpenVPNConfigCipher().isValid());
    }

    void backendEqualityCoversTheMask()
    {
        const auto make = [](const QString &mask) {
            return BackendOpenVPNConfigCipher(QStringLiteral("AES"), 443, QString(), QString(), QString(),
                                              QStringLiteral("xormask"), mask, 0);
        };
        QVERIFY(make(QStringLiteral("a")) == make(QStringLiteral("a")));
        QVERIFY(make(QStringLiteral("a")) != make(QStringLiteral("b")));
    }
};

QTEST_GUILESS_MAIN(TestCipherOffer)
#include "tst_cipheroffer.moc"
