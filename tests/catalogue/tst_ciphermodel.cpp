#include "CatalogueFixtures.h"

#include "catalogue/ComboBoxConfigCipher.h"
#include "catalogue/ConnectionParameters.h"
#include "catalogue/OpenVpnConfigurationModel.h"
#include "openvpn/ConnectVia.h"
#include "prefs/Settings.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace fixtures;

Q_DECLARE_METATYPE(Settings::ProxySettings)

namespace {

void setProxy(Settings::ProxySettings proxy)
{
    Settings().setProxySettings(proxy);
}

OpenVpnConfigCipher named(const QString &protocol, int port, const QStringList &ciphers, const QString &auth = {})
{
    return offer(protocol, port, auth, ciphers);
}

} // namespace

class TestCipherModel : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        setProxy(Settings::DIRECT);
        QSettings().remove(QStringLiteral("connect"));
    }

    void transport_data()
    {
        QTest::addColumn<Settings::ProxySettings>("proxy");
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("transport");
        QTest::addColumn<QString>("protocolField");
        QTest::newRow("direct TCP") << Settings::DIRECT << "TCP"
                                    << ""
                                    << "TCP"
                                    << "TCP";
        QTest::newRow("direct UDP") << Settings::DIRECT << "UDP"
                                    << "TCP"
                                    << "UDP"
                                    << "UDP";
        QTest::newRow("direct empty") << Settings::DIRECT << ""
                                      << ""
                                      << "UDP"
                                      << "";
        QTest::newRow("stealth keeps stored") << Settings::STEALTH << "UDP"
                                              << "TCP"
                                              << "TCP_WITH_STEALTH_PROXY"
                                              << "TCP";
        QTest::newRow("stealth, nothing stored") << Settings::STEALTH << "TCP"
                                                 << ""
                                                 << "TCP_WITH_STEALTH_PROXY"
                                                 << "UDP";
        QTest::newRow("custom") << Settings::CUSTOM << "UDP"
                                << "TCP"
                                << "TCP_WITH_CUSTOM_PROXY"
                                << "TCP";
    }

    void transport()
    {
        QFETCH(Settings::ProxySettings, proxy);
        QFETCH(QString, given);
        QFETCH(QString, stored);
        QFETCH(QString, transport);
        QFETCH(QString, protocolField);
        setProxy(proxy);
        if (!stored.isEmpty())
            QSettings().setValue(QStringLiteral("connect/OpenVPN24-protocol"), stored);
        if (given.isEmpty())
            QTest::ignoreMessage(QtDebugMsg, "static const ConnectVia &ConnectVia::fromString(const QString &) "
                                             "Unexpected switch name:  \"\"");
        const OpenVpnConfigurationModel model(QStringLiteral("AES-128-GCM"), given, {443}, false);
        QCOMPARE(model.getProtocol().toString(), transport);
        QCOMPARE(model.getProtocolString(), protocolField);
    }

    void defaultModelIsUdp()
    {
        const OpenVpnConfigurationModel model;
        QCOMPARE(&model.getProtocol(), &ConnectVia::UDP());
        QVERIFY(model.getCipher().isEmpty());
        QVERIFY(model.getPorts().isEmpty());
        QVERIFY(!model.stunnelEnabled());
    }

    void cipherName_data()
    {
        QTest::addColumn<QString>("modelCipher");
        QTest::addColumn<QStringList>("entryNames");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("exact match") << "AES-256-CBC" << QStringList {"AES-128-GCM", "AES-256-CBC"} << "AES-256-CBC";
        QTest::newRow("case differs") << "aes-256-cbc" << QStringList {"none", "AES-256-CBC", "AES-128-GCM"}
                                      << "AES-128-GCM";
        QTest::newRow("only none") << "AES-256-CBC" << QStringList {"none"} << "AES-128-GCM";
        QTest::newRow("none chosen") << "none" << QStringList {"none"} << "none";
        QTest::newRow("no names") << "X" << QStringList() << "AES-128-GCM";
    }

    void cipherName()
    {
        QFETCH(QString, modelCipher);
        QFETCH(QStringList, entryNames);
        QFETCH(QString, chosen);
        const OpenVpnConfigurationModel model(modelCipher, QStringLiteral("UDP"), {}, false);
        QCOMPARE(model.getCipher(ComboBoxConfigCipher(named("UDP", 1, entryNames))), chosen);
    }

    void comboBoxEntry()
    {
        const OpenVpnConfigCipher a = named("UDP", 1194, {"AES-128-GCM"});
        const OpenVpnConfigCipher b = named("UDP", 53, {"AES-128-GCM"});
        const OpenVpnConfigCipher s = stealthOffer("UDP", 443);
        const OpenVpnConfigCipher t = named("TCP", 443, {"AES-128-GCM"});
        const HalvorixServerSite withStealth = site("USA", "Dallas", {a, s, b, t});
        const auto entryFor = [&](const QList<int> &ports, bool preferStealth) {
            return OpenVpnConfigurationModel(QString(), QStringLiteral("UDP"), ports, false)
                .getComboBoxConfigCipher(withStealth, preferStealth)
                .getConfigCiphers();
        };
        QCOMPARE(entryFor({53}, false), QList<OpenVpnConfigCipher> {b});
        QCOMPARE(entryFor({53}, true), QList<OpenVpnConfigCipher> {s});
        QCOMPARE(entryFor({1194, 53}, false), (QList<OpenVpnConfigCipher> {a, b}));
        // Ports naming no offer of the site: the default entry of all non-stealth offers.
        QCOMPARE(entryFor({8080}, false), (QList<OpenVpnConfigCipher> {a, b}));
        // The TCP offer on 443 is not a UDP offer.
        QCOMPARE(entryFor({443}, false), QList<OpenVpnConfigCipher> {s});

        const HalvorixServerSite plain = site("USA", "Austin", {a, b});
        QCOMPARE(OpenVpnConfigurationModel(QString(), QStringLiteral("UDP"), {53}, false)
                     .getComboBoxConfigCipher(plain, true)
                     .getConfigCiphers(),
                 QList<OpenVpnConfigCipher> {b});
    }

    // Two entries on one port that differ in the digest: each one stored and
    // read back is the entry chosen. A file holding the ports alone (an older
    // version's) still resolves by port: both offers of 1194, which is no
    // entry of its own, so the default entry.
    void entrySharingItsPortRoundTrips_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("portsOnly");
        QTest::addColumn<QString>("resolved");
        QTest::newRow("Auto") << "Auto" << false << "Auto";
        QTest::newRow("1194 SHA512") << "1194 SHA512" << false << "1194 SHA512";
        QTest::newRow("1194 SHA256") << "1194 SHA256" << false << "1194 SHA256";
        QTest::newRow("53") << "53 " << false << "53 ";
        QTest::newRow("stealth") << "443 " << false << "443 ";
        QTest::newRow("older file, 1194") << "1194 SHA256" << true << "Auto";
        QTest::newRow("older file, 53") << "53 " << true << "53 ";
    }

    void entrySharingItsPortRoundTrips()
    {
        QFETCH(QString, entry);
        QFETCH(bool, portsOnly);
        QFETCH(QString, resolved);
        const HalvorixServerSite dallas =
            site("USA", "Dallas",
                 {named("UDP", 1194, {"AES-256-GCM"}, "SHA512"), named("UDP", 1194, {"AES-256-GCM"}, "SHA256"),
                  named("UDP", 53, {"AES-256-GCM"}), stealthOffer("UDP", 443)});
        const QList<ComboBoxConfigCipher> entries =
            ComboBoxConfigCipher::getComboBoxConfigCipherList(dallas, ConnectVia::UDP());
        // "Auto", else the port and digest of the entry's one offer.
        const auto nameOf = [](const ComboBoxConfigCipher &e) {
            return e.getConfigCiphers().size() > 1 ? QStringLiteral("Auto")
                                                   : QString::number(e.getPort().first()) + ' ' + e.getAuth().first();
        };
        const auto find = [&](const QString &name) {
            for (const ComboBoxConfigCipher &e : entries) {
                if (nameOf(e) == name)
                    return e;
            }
            return ComboBoxConfigCipher();
        };
        const ComboBoxConfigCipher chosen = find(entry);
        QVERIFY(chosen.isValid());
        QTemporaryDir dir;
        QSettings store(dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
        OpenVpnConfigurationModel(QStringLiteral("AES-256-GCM"), QStringLiteral("UDP"), chosen.getPort(), false,
                                  portsOnly ? QStringList() : chosen.getAuth())
            .writeTo(store);
        QCOMPARE(store.contains(QStringLiteral("connect/OpenVPN24-ports/1/auth")), !portsOnly);
        const ComboBoxConfigCipher back =
            OpenVpnConfigurationModel::readFrom(store).getComboBoxConfigCipher(dallas, false);
        QCOMPARE(nameOf(back), resolved);
        QVERIFY(back == find(resolved));
    }

    void connectionParametersForASite_data()
    {
        QTest::addColumn<QString>("protocol");
        QTest::addColumn<bool>("stunnel");
        QTest::addColumn<int>("port");
        QTest::newRow("UDP direct") << "UDP" << false << 53;
        QTest::newRow("TCP through stunnel") << "TCP" << true << 443;
    }

    void connectionParametersForASite()
    {
        QFETCH(QString, protocol);
        QFETCH(bool, stunnel);
        QFETCH(int, port);
        const HalvorixServerSite dallas =
            site("USA", "Dallas",
                 {named("UDP", 1194, {"AES-128-GCM"}), named("UDP", 53, {"AES-256-GCM"}, "SHA256"),
                  named("TCP", 443, {"AES-256-GCM"}, "SHA256")});
        Settings settings;
        settings.setIksEnableOnConnect(Settings::ENABLE);
        settings.setCheckTunTapOnConnect(false);
        const QSharedPointer<ConnectionParameters> parameters =
            OpenVpnConfigurationModel(QStringLiteral("AES-256-GCM"), protocol, {port}, stunnel)
                .getConnectionParameters(settings, dallas);

        QCOMPARE(parameters->getServerSite(), dallas);
        QCOMPARE(HalvorixServerSite::toString(parameters->getProtocol()), protocol);
        QVERIFY(parameters->getCipher().isValid());
        QCOMPARE(parameters->getCipher().getPort(), port);
        QCOMPARE(parameters->getCipherName(), QStringLiteral("AES-256-GCM"));
        QCOMPARE(parameters->getSTunnelMode(),
                 stunnel ? ConnectionParameters::WITH_STUNNEL : ConnectionParameters::NO_STUNNEL);
        QCOMPARE(parameters->getIksSettings(), Settings::ENABLE);
        QVERIFY(!parameters->getTunTapDriverCheck());
        QVERIFY(parameters->getManageRouteProgramCheck());
    }

    void storeAndReadBack_data()
    {
        QTest::addColumn<Settings::ProxySettings>("proxy");
        QTest::addColumn<QString>("protocol");
        QTest::newRow("direct TCP") << Settings::DIRECT << "TCP";
        QTest::newRow("direct UDP") << Settings::DIRECT << "UDP";
        QTest::newRow("stealth") << Settings::STEALTH << "UDP";
    }

    void storeAndReadBack()
    {
        QFETCH(Settings::ProxySettings, proxy);
        QFETCH(QString, protocol);
        setProxy(proxy);
        QTemporaryDir dir;
        QSettings store(dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
        const OpenVpnConfigurationModel model(QStringLiteral("AES-256-GCM"), protocol, {443, 1194, 443}, true);
        model.writeTo(store);
        QCOMPARE(store.value(QStringLiteral("connect/OpenVPN24-protocol")).toString(), model.getProtocolString());
        QCOMPARE(store.value(QStringLiteral("connect/OpenVPN24-ports/size")).toInt(), 3);
        QCOMPARE(store.value(QStringLiteral("connect/OpenVPN24-ports/1/port")).toInt(), 443);
        QVERIFY(OpenVpnConfigurationModel::checkIfDefaultValueExists(store));

        const OpenVpnConfigurationModel back = OpenVpnConfigurationModel::readFrom(store);
        QCOMPARE(back.getCipher(), model.getCipher());
        QCOMPARE(back.getPorts(), (QList<int> {443, 1194, 443}));
        QVERIFY(back.stunnelEnabled());
        QCOMPARE(back.getProtocolString(), model.getProtocolString());
        QCOMPARE(&back.getProtocol(), &model.getProtocol());
    }

    void nothingStored()
    {
        QTemporaryDir dir;
        QSettings store(dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
        QVERIFY(!OpenVpnConfigurationModel::checkIfDefaultValueExists(store));
        QCOMPARE(OpenVpnConfigurationModel::getOpenVPN243ProtocolFromSettings(store), QStringLiteral("UDP"));
        QTest::ignoreMessage(QtDebugMsg, "static const ConnectVia &ConnectVia::fromString(const QString &) "
                                         "Unexpected switch name:  \"\"");
        const OpenVpnConfigurationModel model = OpenVpnConfigurationModel::readFrom(store);
        QVERIFY(model.getCipher().isEmpty());
        QVERIFY(model.getPorts().isEmpty());
        QVERIFY(!model.stunnelEnabled());
        QCOMPARE(&model.getProtocol(), &ConnectVia::UDP());
    }

    void storedModelPresence_data()
    {
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<bool>("present");
        const QString cipher = QStringLiteral("connect/OpenVPN24-cipher");
        const QString protocol = QStringLiteral("connect/OpenVPN24-protocol");
        const QString stunnel = QStringLiteral("connect/OpenVPN24-stunnel");
        QTest::newRow("three keys, no ports") << QStringList {cipher, protocol, stunnel} << true;
        QTest::newRow("empty ports array")
            << QStringList {"connect/OpenVPN24-ports/size", cipher, protocol, stunnel} << true;
        QTest::newRow("a port element without port")
            << QStringList {"connect/OpenVPN24-ports/size", "connect/OpenVPN24-ports/1/port", cipher, protocol, stunnel}
            << false;
        QTest::newRow("no stunnel key") << QStringList {cipher, protocol} << false;
    }

    void storedModelPresence()
    {
        QFETCH(QStringList, keys);
        QFETCH(bool, present);
        QTemporaryDir dir;
        QSettings store(dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
        for (const QString &key : keys)
            store.setValue(key, key.endsWith(QLatin1String("size")) ? QVariant(keys.size() > 4 ? 2 : 0) : QVariant(1));
        QCOMPARE(OpenVpnConfigurationModel::checkIfDefaultValueExists(store), present);
    }
};

QTEST_GUILESS_MAIN(TestCipherModel)
#include "tst_ciphermodel.moc"
