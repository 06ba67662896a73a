// The connect page's transport, port, cipher and stunnel controls, driven by
// their controller over the nine widgets a test page builds, for a site whose
// engine files exist or not in a temporary directory.
#include "BuiltInCatalogue.h"
#include "CatalogueFixtures.h"

#include "catalogue/OpenVpnConfigurationModel.h"
#include "gui/OpenVpn243SetupConnectWidget.h"
#include "openvpn/ConnectVia.h"
#include "prefs/Settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace fixtures;

Q_DECLARE_METATYPE(Settings::ProxySettings)

namespace {

// The nine widgets of the connect page, in the order the controller takes
// them, under one parent that is never shown.
class ConnectPage
{
public:
    QWidget page;
    QComboBox &protocolSelect = *new QComboBox(&page);
    QComboBox &portSelect = *new QComboBox(&page);
    QComboBox &cipherSelect = *new QComboBox(&page);
    QCheckBox &stunnelCheckbox = *new QCheckBox(&page);
    QPushButton &connect = *new QPushButton(QStringLiteral("Connect"), &page);
    QLabel &cipherWarningSign = *new QLabel(&page);
    QLabel &cipherWarningSign_2 = *new QLabel(&page);
    QLabel &stealthIcon = *new QLabel(&page);
    QLabel &stealthLabel = *new QLabel(&page);
    OpenVpn243SetupConnectWidget controller {protocolSelect,      portSelect,  cipherSelect,
                                             stunnelCheckbox,     connect,     cipherWarningSign,
                                             cipherWarningSign_2, stealthIcon, stealthLabel};

    // A user's pick: the entry becomes current and the page refills from the controls.
    void pick(QComboBox &box, const QString &text, const HalvorixServerSite &site)
    {
        const int index = box.findText(text);
        QVERIFY2(index >= 0, qPrintable(text + QStringLiteral(" not in ") + entries(box).join(',')));
        box.setCurrentIndex(index);
        controller.setUpComboBoxesFromUI(site, false);
    }

    static QStringList entries(const QComboBox &box)
    {
        QStringList texts;
        for (int i = 0; i < box.count(); ++i)
            texts.append(box.itemText(i));
        return texts;
    }
};

OpenVpnConfigCipher offerOf(const QString &protocol, int port, const QStringList &ciphers, const QString &auth = {},
                            int stunnelPort = 0, bool stealth = false)
{
    OfferFields fields;
    fields.protocol = protocol;
    fields.port = port;
    fields.ciphers = ciphers;
    fields.cipher = ciphers.first();
    fields.auth = auth;
    fields.stunnelPort = stunnelPort;
    fields.scrambleMethod = stealth ? QStringLiteral("xormask") : QString();
    return offer(fields);
}

// UDP: "Auto" (1194 and 53), "1194 ( SHA512 )", "53", "443 | Stealth".
// TCP: "Auto" (443 and 80), "443" (with an stunnel port), "80".
QList<OpenVpnConfigCipher> offers()
{
    return {offerOf("UDP", 1194, {"AES-256-GCM", "AES-128-GCM", "none"}, "SHA512"),
            offerOf("UDP", 53, {"AES-128-GCM", "NONE"}), offerOf("UDP", 443, {"AES-128-GCM"}, {}, 0, true),
            offerOf("TCP", 443, {"AES-256-GCM", "CHACHA20-POLY1305"}, {}, 8443),
            offerOf("TCP", 80, {"AES-128-GCM", "none"})};
}

const QString NO_TCP_TIP =
    QStringLiteral("This server offers no TCP connection, which the proxy chosen in the settings needs.");

} // namespace

class TestSetupConnectWidget : public QObject
{
    Q_OBJECT

    QTemporaryDir m_siteDir;

    // The site "USA-Dallas" in the temporary directory, with its UDP and TCP
    // engine files present or not.
    HalvorixServerSite siteWith(bool udpFile, bool tcpFile, bool stealthFlag = false,
                                const QList<OpenVpnConfigCipher> &siteOffers = offers())
    {
        const QDir dir(m_siteDir.path());
        for (const auto &[name, present] : {std::pair {"Dallas-udp.conf", udpFile}, {"Dallas-tcp.conf", tcpFile}}) {
            QFile file(dir.filePath(name));
            if (present) {
                if (!file.open(QIODevice::WriteOnly))
                    qFatal("cannot write %s", name);
                file.write("client\nremote us-dal-01.vpn.orvalvpn.example\n");
            } else {
                file.remove();
            }
        }
        return site("USA", "Dallas", siteOffers, stealthFlag, GeoLocation(), dir);
    }

    static void store(const OpenVpnConfigurationModel &model)
    {
        Settings().setDefaultServerSite(QStringLiteral("USA-Dallas"), model);
    }

private slots:
    void initTestCase() { QVERIFY(m_siteDir.isValid()); }

    void init()
    {
        Settings().setProxySettings(Settings::DIRECT);
        QSettings().remove(QStringLiteral("connect"));
    }

    void transports_data()
    {
        QTest::addColumn<Settings::ProxySettings>("proxy");
        QTest::addColumn<bool>("udpFile");
        QTest::addColumn<bool>("tcpFile");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<bool>("enabled");

        const QStringList none;
        QTest::newRow("direct, both") << Settings::DIRECT << true << true << QStringList {"UDP", "TCP"} << true;
        QTest::newRow("direct, UDP only") << Settings::DIRECT << true << false << QStringList {"UDP"} << true;
        QTest::newRow("direct, TCP only") << Settings::DIRECT << false << true << QStringList {"TCP"} << true;
        QTest::newRow("direct, no file") << Settings::DIRECT << false << false << none << false;
        for (const auto &[proxy, name] :
             {std::pair {Settings::STEALTH, "Stealth Proxy"}, std::pair {Settings::CUSTOM, "Custom Proxy"}}) {
            const QString tag = QString::fromLatin1(name).toLower();
            QTest::addRow("%s, both", qPrintable(tag)) << proxy << true << true << QStringList {name} << false;
            QTest::addRow("%s, TCP only", qPrintable(tag)) << proxy << false << true << QStringList {name} << false;
            // Never a direct connection past the proxy the user chose.
            QTest::addRow("%s, UDP only", qPrintable(tag)) << proxy << true << false << none << false;
            QTest::addRow("%s, no file", qPrintable(tag)) << proxy << false << false << none << false;
        }
    }

    void transports()
    {
        QFETCH(Settings::ProxySettings, proxy);
        QFETCH(bool, udpFile);
        QFETCH(bool, tcpFile);
        QFETCH(QStringList, entries);
        QFETCH(bool, enabled);
        Settings().setProxySettings(proxy);
        const HalvorixServerSite site = siteWith(udpFile, tcpFile);

        ConnectPage page;
        page.controller.setUpComboBoxesFromSettings(site, false);
        QCOMPARE(ConnectPage::entries(page.protocolSelect), entries);
        QCOMPARE(page.protocolSelect.isEnabled(), enabled);
        QCOMPARE(page.controller.isTransportAvailable(), !entries.isEmpty());
        // No transport: Connect is off, and a blocked proxy says why.
        QCOMPARE(page.connect.isEnabled(), !entries.isEmpty());
        const bool blockedProxy = proxy != Settings::DIRECT && !tcpFile;
        QCOMPARE(page.protocolSelect.toolTip(), blockedProxy ? NO_TCP_TIP : QString());

        if (!entries.isEmpty()) {
            const auto *transport = page.protocolSelect.currentData().value<const ConnectVia *>();
            QVERIFY(transport);
            QCOMPARE(&page.controller.currentProtocol(), transport);
            QCOMPARE(transport->isProxy(), proxy != Settings::DIRECT);
            // The port entries follow the transport's protocol.
            QCOMPARE(ConnectPage::entries(page.portSelect).contains(QStringLiteral("443 | Stealth")),
                     transport->getProtocol() == HalvorixServerSite::UDP);
        } else {
            QCOMPARE(&page.controller.currentProtocol(), &ConnectVia::UDP());
        }
        if (proxy != Settings::DIRECT) {
            QVERIFY(!page.stunnelCheckbox.isEnabled());
            QVERIFY(!page.stunnelCheckbox.isChecked());
        }

        // The next site with a usable transport clears the explanation.
        Settings().setProxySettings(Settings::DIRECT);
        page.controller.setUpComboBoxesFromSettings(siteWith(true, true), false);
        QVERIFY(page.protocolSelect.toolTip().isEmpty());
        QVERIFY(page.controller.isTransportAvailable());
    }

    // A preference written by something else: no proxy is known, so the
    // site's own transports are offered.
    void unknownProxyPreferenceOffersTheSiteTransports()
    {
        Settings().setValue(QStringLiteral("proxy-settings"), QStringLiteral("SOCKS9"));
        ConnectPage page;
        page.controller.setUpComboBoxesFromSettings(siteWith(true, true), false);
        QCOMPARE(ConnectPage::entries(page.protocolSelect), (QStringList {"UDP", "TCP"}));
        QVERIFY(page.protocolSelect.isEnabled());
        QVERIFY(page.controller.isTransportAvailable());
    }

    void stunnel_data()
    {
        QTest::addColumn<Settings::ProxySettings>("proxy");
        QTest::addColumn<QList<int>>("ports");
        QTest::addColumn<bool>("stored");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("stunnel port, stored on")
            << Settings::DIRECT << QList<int> {443} << true << "443" << true << true;
        QTest::newRow("stunnel port, stored off")
            << Settings::DIRECT << QList<int> {443} << false << "443" << false << true;
        QTest::newRow("no stunnel port") << Settings::DIRECT << QList<int> {80} << true << "80" << false << false;
        QTest::newRow("entry mixing both")
            << Settings::DIRECT << QList<int> {443, 80} << true << "Auto" << false << false;
        QTest::newRow("stealth proxy") << Settings::STEALTH << QList<int> {443} << true << "443" << false << false;
        QTest::newRow("custom proxy") << Settings::CUSTOM << QList<int> {443} << true << "443" << false << false;
    }

    void stunnel()
    {
        QFETCH(Settings::ProxySettings, proxy);
        QFETCH(QList<int>, ports);
        QFETCH(bool, stored);
        store(OpenVpnConfigurationModel(QStringLiteral("AES-256-GCM"), QStringLiteral("TCP"), ports, stored));
        Settings().setProxySettings(proxy);

        ConnectPage page;
        page.controller.setUpComboBoxesFromSettings(siteWith(true, true), false);
        QTEST(page.portSelect.currentText(), "entry");
        QTEST(page.stunnelCheckbox.isChecked(), "checked");
        QTEST(page.stunnelCheckbox.isEnabled(), "enabled");
        QTEST(page.controller.isSTunnelEnabled(), "checked");
    }

    void portWithoutStunnelUnchecksIt()
    {
        store(OpenVpnConfigurationModel(QStringLiteral("AES-256-GCM"), QStringLiteral("TCP"), {443}, true));
        const HalvorixServerSite site = siteWith(true, true);
        ConnectPage page;
        page.controller.setUpComboBoxesFromSettings(site, false);
        QVERIFY(page.stunnelCheckbox.isChecked());

        page.pick(page.portSelect, QStringLiteral("80"), site);
        QVERIFY(!page.stunnelCheckbox.isChecked());
        QVERIFY(!page.stunnelCheckbox.isEnabled());
        // Back on the stunnel port the box is offered again, as the controls last showed it.
        page.pick(page.portSelect, QStringLiteral("443"), site);
        QVERIFY(page.stunnelCheckbox.isEnabled());
        QVERIFY(!page.stunnelCheckbox.isChecked());
    }

    void siteWithoutFilesOrOffers()
    {
        ConnectPage page;
        QCOMPARE(&page.controller.getSelectionCipherFromUI().getProtocol(), &ConnectVia::UDP());
        QVERIFY(page.controller.getSelectionCipherFromUI().getCipher().isEmpty());

        page.controller.setUpComboBoxesFromSettings(siteWith(false, false, false, {}), false);
        QCOMPARE(page.protocolSelect.count(), 0);
        QVERIFY(!page.protocolSelect.isEnabled());
        QCOMPARE(page.portSelect.count(), 0);
        QVERIFY(!page.portSelect.isEnabled());
        QVERIFY(!page.stunnelCheckbox.isEnabled());
        QVERIFY(!page.connect.isEnabled());
        QVERIFY(!page.controller.getCurrentConfigCipher(siteWith(false, false)).isValid());
        QVERIFY(page.controller.getSelectionCipherFromUI().getCipher().isEmpty());
    }

    // On every site of the catalogue the product ships, each UDP and TCP port
    // entry picked and stored is the entry shown when the page is built again
    // from the preferences; most sites have two entries on port 1194 that
    // differ only in the digest.
    void everyBuiltInPortEntrySticks()
    {
        QVERIFY(BuiltInCatalogue::install());
        int sharedPortSites = 0;
        for (const HalvorixServerSite &site : HalvorixConfig::getServerSites()) {
            ConnectPage page;
            page.controller.setUpComboBoxesFromSettings(site, false);
            for (const QString &protocol : ConnectPage::entries(page.protocolSelect)) {
                page.pick(page.protocolSelect, protocol, site);
                const QStringList ports = ConnectPage::entries(page.portSelect);
                sharedPortSites += ports.filter(QStringLiteral("1194 (")).size() > 1 ? 1 : 0;
                for (const QString &port : ports) {
                    page.pick(page.portSelect, port, site);
                    store(page.controller.getSelectionCipherFromUI());
                    ConnectPage rebuilt;
                    rebuilt.controller.setUpComboBoxesFromSettings(site, false);
                    QCOMPARE(rebuilt.protocolSelect.currentText(), protocol);
                    QVERIFY2(
                        rebuilt.portSelect.currentText() == port,
                        qPrintable(site.getId() + ": " + port + " came back as " + rebuilt.portSelect.currentText()));
                }
            }
        }
        QVERIFY(sharedPortSites > 10);
    }

    void storedChoiceMatchingNoEntryLeavesTheFirstEntries()
    {
        store(OpenVpnConfigurationModel(QStringLiteral("AES-256-GCM"), QStringLiteral("TCP"), {8080}, true));
        ConnectPage page;
        page.controller.setUpComboBoxesFromSettings(siteWith(true, false), false);
        QCOMPARE(page.protocolSelect.currentText(), QStringLiteral("UDP"));
        QCOMPARE(page.portSelect.currentText(), QStringLiteral("Auto"));
        QCOMPARE(page.cipherSelect.currentText(), QStringLiteral("AES-256-GCM"));
        QVERIFY(!page.stunnelCheckbox.isChecked());
    }

    void preferStealthTakesTheStealthEntry()
    {
        ConnectPage page;
        page.controller.setUpComboBoxesFromSettings(siteWith(true, true), true);
        QCOMPARE(page.portSelect.currentText(), QStringLiteral("443 | Stealth"));
        page.controller.setUpComboBoxesFromSettings(siteWith(true, true), false);
        QCOMPARE(page.portSelect.currentText(), QStringLiteral("Auto"));
    }

    void cipherWarnings_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("cipher");
        QTest::addColumn<bool>("warned");
        QTest::addColumn<QString>("buttonText");
        QTest::newRow("none") << "1194 ( SHA512 )"
                              << "none" << true << "Connect without encryption";
        QTest::newRow("encrypted") << "1194 ( SHA512 )"
                                   << "AES-128-GCM" << false << "Connect";
        // Only the exact name "none" means no encryption.
        QTest::newRow("upper case") << "53"
                                    << "NONE" << false << "Connect";
        QTest::newRow("other entry") << "53"
                                     << "AES-128-GCM" << false << "Connect";
    }

    void cipherWarnings()
    {
        QFETCH(QString, port);
        QFETCH(QString, cipher);
        QFETCH(bool, warned);
        const HalvorixServerSite site = siteWith(true, false);
        ConnectPage page;
        page.controller.setUpComboBoxesFromSettings(site, false);
        page.pick(page.portSelect, port, site);
        page.pick(page.cipherSelect, cipher, site);
        QCOMPARE(page.controller.getCurrentCipherString(), cipher);
        // Shown before, so that hiding is seen too; the page may have changed the text.
        page.cipherWarningSign.show();
        page.cipherWarningSign_2.show();
        page.connect.setText(QStringLiteral("Connect without encryption"));
        page.controller.updateCipherIcons(site);
        QCOMPARE(!page.cipherWarningSign.isHidden(), warned);
        QCOMPARE(!page.cipherWarningSign_2.isHidden(), warned);
        QTEST(page.connect.text(), "buttonText");

        if (warned) {
            page.cipherWarningSign.hide();
            page.cipherWarningSign_2.hide();
            page.controller.updateCipherIcons(site);
            QVERIFY(!page.cipherWarningSign.isHidden());
            QVERIFY(!page.cipherWarningSign_2.isHidden());
        }
    }

    void stealthIndication_data()
    {
        QTest::addColumn<bool>("siteFlag");
        QTest::addColumn<QString>("port"); // empty: the site has no offers
        QTest::addColumn<bool>("shown");
        QTest::newRow("flag, plain entry") << true << "1194 ( SHA512 )" << true;
        QTest::newRow("flag, no entry") << true << "" << true;
        QTest::newRow("stealth entry") << false << "443 | Stealth" << true;
        QTest::newRow("plain entry") << false << "Auto" << false;
        QTest::newRow("no entry") << false << "" << false;
    }

    void stealthIndication()
    {
        QFETCH(bool, siteFlag);
        QFETCH(QString, port);
        QFETCH(bool, shown);
        const HalvorixServerSite site =
            siteWith(true, false, siteFlag, port.isEmpty() ? QList<OpenVpnConfigCipher>() : offers());
        ConnectPage page;
        page.controller.setUpComboBoxesFromSettings(site, false);
        if (!port.isEmpty())
            page.pick(page.portSelect, port, site);
        page.stealthIcon.setVisible(!shown);
        page.stealthLabel.setVisible(!shown);
        page.controller.updateCipherIcons(site);
        QCOMPARE(!page.stealthIcon.isHidden(), shown);
        QCOMPARE(!page.stealthLabel.isHidden(), shown);
    }

    void currentConfigCipherCarriesTheCipher()
    {
        const HalvorixServerSite site = siteWith(true, true);
        ConnectPage page;
        page.controller.setUpComboBoxesFromSettings(site, false);
        page.pick(page.protocolSelect, QStringLiteral("TCP"), site);
        page.pick(page.portSelect, QStringLiteral("443"), site);
        page.pick(page.cipherSelect, QStringLiteral("CHACHA20-POLY1305"), site);
        const OpenVpnConfigCipher chosen = page.controller.getCurrentConfigCipher(site);
        QCOMPARE(chosen.getProtocol(), QStringLiteral("TCP"));
        QCOMPARE(chosen.getPort(), 443);
        QVERIFY(chosen.getCiphers().contains(QStringLiteral("CHACHA20-POLY1305")));

        page.pick(page.protocolSelect, QStringLiteral("UDP"), site);
        page.pick(page.portSelect, QStringLiteral("Auto"), site);
        page.pick(page.cipherSelect, QStringLiteral("AES-128-GCM"), site);
        const OpenVpnConfigCipher automatic = page.controller.getCurrentConfigCipher(site);
        QCOMPARE(automatic.getProtocol(), QStringLiteral("UDP"));
        QVERIFY(QList<int>({1194, 53}).contains(automatic.getPort()));
    }

    // Every choice the controls offer, under each proxy preference.
    void roundTrip_data()
    {
        QTest::addColumn<Settings::ProxySettings>("proxy");
        QTest::addColumn<QString>("transport");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("cipher");
        QTest::addColumn<bool>("stunnel");

        for (const auto &[proxy, preference] :
             {std::pair {Settings::DIRECT, "direct"}, std::pair {Settings::STEALTH, "stealth"},
              std::pair {Settings::CUSTOM, "custom"}}) {
            Settings().setProxySettings(proxy);
            const HalvorixServerSite site = siteWith(true, true);
            ConnectPage page;
            page.controller.setUpComboBoxesFromSettings(site, false);
            for (const QString &transport : ConnectPage::entries(page.protocolSelect)) {
                page.pick(page.protocolSelect, transport, site);
                for (const QString &port : ConnectPage::entries(page.portSelect)) {
                    page.pick(page.portSelect, port, site);
                    const bool stunnelOffered = page.stunnelCheckbox.isEnabled();
                    for (const QString &cipher : ConnectPage::entries(page.cipherSelect)) {
                        for (const bool stunnel : {false, true}) {
                            if (stunnel && !stunnelOffered)
                                continue;
                            QTest::addRow("%s, %s, %s, %s%s", preference, qPrintable(transport), qPrintable(port),
                                          qPrintable(cipher), stunnel ? ", stunnel" : "")
                                << proxy << transport << port << cipher << stunnel;
                        }
                    }
                }
            }
        }
        Settings().setProxySettings(Settings::DIRECT);
    }

    void roundTrip()
    {
        QFETCH(Settings::ProxySettings, proxy);
        QFETCH(QString, transport);
        QFETCH(QString, port);
        QFETCH(QString, cipher);
        QFETCH(bool, stunnel);
        Settings().setProxySettings(proxy);
        const HalvorixServerSite site = siteWith(true, true);
        // A different choice stored first, so that a reload showing it is caught.
        store(OpenVpnConfigurationModel(QStringLiteral("CHACHA20-POLY1305"), QStringLiteral("TCP"), {443}, true));

        ConnectPage chosen;
        chosen.controller.setUpComboBoxesFromSettings(site, false);
        chosen.pick(chosen.protocolSelect, transport, site);
        chosen.pick(chosen.portSelect, port, site);
        chosen.pick(chosen.cipherSelect, cipher, site);
        chosen.stunnelCheckbox.setChecked(stunnel);
        const OpenVpnConfigurationModel model = chosen.controller.getSelectionCipherFromUI();
        QCOMPARE(model.getCipher(), cipher);
        store(model);

        ConnectPage reloaded;
        reloaded.controller.setUpComboBoxesFromSettings(site, false);
        QCOMPARE(reloaded.protocolSelect.currentText(), transport);
        QCOMPARE(reloaded.portSelect.currentText(), port);
        QCOMPARE(reloaded.cipherSelect.currentText(), cipher);
        QCOMPARE(reloaded.stunnelCheckbox.isChecked(), stunnel);
        const OpenVpnConfigurationModel stored = reloaded.controller.getSelectionCipherFromSettings();
        QCOMPARE(stored.getCipher(), cipher);
        QCOMPARE(stored.getPorts(), model.getPorts());
        QCOMPARE(stored.stunnelEnabled(), stunnel);
    }
};

QTEST_MAIN(TestSetupConnectWidget)
#include "tst_setupconnectwidget.moc"
