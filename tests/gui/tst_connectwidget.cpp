// The connect panel offscreen, over the built-in catalogue: which site becomes
// current, when Connect may be pressed, what Connect emits and stores, the
// pinned-IP row, the preferences link and clicks on the site area.
#include "AnsweringMessageBoxFactory.h"
#include "BuiltInCatalogue.h"
#include "FakeBackendStateTracker.h"
#include "RecordingOsAbstraction.h"
#include "RecordingVpnBackend.h"
#include "SiteConnectionParameters.h"

#include "backend/OpenVpnConnectionParameters.h"
#include "catalogue/HalvorixConfig.h"
#include "gui/OrvalVPNConnectWidget.h"
#include "openvpn/ConnectVia.h"
#include "prefs/Settings.h"
#include "prefs/UserStatistics.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

Q_DECLARE_METATYPE(Settings::IksSettings)

using BuiltInCatalogue::child;
using BuiltInCatalogue::sites;

namespace {

const GeoLocation VIENNA(48.2082, 16.3738);

struct Panel
{
    OrvalVPNConnectWidget widget;
    UserStatistics statistics;

    Panel() { widget.setUserStatistics(&statistics); }

    QPushButton &connect() const { return child<QPushButton>(widget, "connect"); }
    QLineEdit &username() const { return child<QLineEdit>(widget, "username"); }
    QLineEdit &password() const { return child<QLineEdit>(widget, "password"); }
    QCheckBox &remember() const { return child<QCheckBox>(widget, "rememberCredentials"); }
    QComboBox &protocolSelect() const { return child<QComboBox>(widget, "protocolSelect"); }
    QCheckBox &stunnel() const { return child<QCheckBox>(widget, "stunnelCheckbox"); }
    QString currentId() const { return widget.getCurrentServerSite().getId(); }

    // A user's pick in one of the choice boxes.
    void pick(const char *box, const QString &text)
    {
        QComboBox &combo = child<QComboBox>(widget, box);
        const int index = combo.findText(text);
        QStringList entries;
        for (int i = 0; i < combo.count(); ++i)
            entries << combo.itemText(i);
        QVERIFY2(index >= 0, qPrintable(text + " not in " + entries.join('|')));
        combo.setCurrentIndex(index);
        // The signal the panel's slot is connected to by name.
        QVERIFY(QMetaObject::invokeMethod(&combo, "activated", Q_ARG(QString, text)));
    }
};

QSharedPointer<OpenVpnConnectionParameters> emitted(const QSignalSpy &spy)
{
    if (spy.size() != 1)
        return {};
    return spy.first().first().value<QSharedPointer<ConnectionParameters>>().dynamicCast<OpenVpnConnectionParameters>();
}

} // namespace

class TestConnectWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(vpnbackend);
        qRegisterMetaType<QSharedPointer<ConnectionParameters>>();
        qRegisterMetaType<HalvorixServerSite>();
        QVERIFY(BuiltInCatalogue::install());
    }

    void init()
    {
        BuiltInCatalogue::resetPreferences();
        Settings().forgetCredentials();
    }

    void defaultSite_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("located");
        QTest::addColumn<QStringList>("catalogue");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("firstAfterwards");

        const QStringList withDallas {"USA-Dallas", "CHE-Zurich", "JPN-Tokyo"};
        const QStringList withoutDallas {"GBR-London", "JPN-Tokyo", "CHE-Zurich"};
        QTest::newRow("nothing known: Dallas") << "" << false << withDallas << "USA-Dallas"
                                               << "USA-Dallas";
        QTest::newRow("nothing known, no Dallas: first") << "" << false << withoutDallas << "GBR-London"
                                                         << "GBR-London";
        QTest::newRow("located: nearest, list stays by distance") << "" << true << withDallas << "CHE-Zurich"
                                                                  << "CHE-Zurich";
        QTest::newRow("located, no Dallas") << "" << true << withoutDallas << "CHE-Zurich"
                                            << "CHE-Zurich";
        QTest::newRow("stored wins over location") << "JPN-Tokyo" << true << withDallas << "JPN-Tokyo"
                                                   << "USA-Dallas";
        QTest::newRow("stored but gone: first, unsorted") << "XXX-Nowhere" << true << withoutDallas << "GBR-London"
                                                          << "GBR-London";
        QTest::newRow("empty catalogue: empty site") << "" << true << QStringList() << "-"
                                                     << "-";
        QTest::newRow("empty catalogue, stored") << "JPN-Tokyo" << false << QStringList() << "-"
                                                 << "-";
    }

    void defaultSite()
    {
        QFETCH(QString, stored);
        QFETCH(bool, located);
        QFETCH(QStringList, catalogue);
        QFETCH(QString, current);
        QFETCH(QString, firstAfterwards);
        Settings settings;
        if (!stored.isEmpty())
            settings.setDefaultServerSite(stored);
        if (located)
            settings.setMyLocation(VIENNA);

        Panel panel;
        panel.widget.setServerSites(sites(catalogue));
        QCOMPARE(panel.currentId(), current);
        // An unknown identifier takes the first site of the list as it is now.
        panel.widget.setCurrentServerSite(QStringLiteral("unknown"));
        QCOMPARE(panel.currentId(), firstAfterwards);
        // Nothing was stored by choosing.
        QCOMPARE(Settings().hasDefaultServerSite(), !stored.isEmpty());
    }

    void connectEnabled_data()
    {
        QTest::addColumn<bool>("remembered");
        QTest::addColumn<QString>("edit");
        QTest::addColumn<bool>("withSites");
        QTest::addColumn<bool>("enabled");

        QTest::newRow("remembered") << true << "" << true << true;
        QTest::newRow("remembered, user cleared") << true << "clear user" << true << false;
        QTest::newRow("remembered, password cleared") << true << "clear password" << true << false;
        QTest::newRow("remembered, no sites") << true << "" << false << false;
        QTest::newRow("remembered, no sites, retyped") << true << "type both" << false << false;
        QTest::newRow("nothing remembered") << false << "" << true << false;
        QTest::newRow("typed") << false << "type both" << true << true;
        QTest::newRow("typed, no sites") << false << "type both" << false << false;
    }

    void connectEnabled()
    {
        QFETCH(bool, remembered);
        QFETCH(QString, edit);
        QFETCH(bool, withSites);
        QFETCH(bool, enabled);
        if (remembered)
            Settings().rememberCredentials(QStringLiteral("alice"), QStringLiteral("secret"));

        Panel panel;
        panel.widget.setServerSites(withSites ? HalvorixConfig::getServerSites() : QList<HalvorixServerSite>());
        panel.widget.updateGUIFromSettings();
        if (edit == "clear user")
            panel.username().clear();
        else if (edit == "clear password")
            panel.password().clear();
        else if (edit == "type both") {
            QTest::keyClicks(&panel.username(), QStringLiteral("bob"));
            QTest::keyClicks(&panel.password(), QStringLiteral("pw"));
        }
        QCOMPARE(panel.connect().isEnabled(), enabled);

        // Nothing starts while Connect may not be pressed.
        QSignalSpy started(&panel.widget, &OrvalVPNConnectWidget::startOpenVpn243);
        panel.widget.show();
        QTest::mouseClick(&panel.connect(), Qt::LeftButton);
        QCOMPARE(started.size(), enabled ? 1 : 0);
        QCOMPARE(Settings().defaultServerSite() == QLatin1String("-"), false);
    }

    // The controller switches Connect off for a site without any transport;
    // the next site that has one switches it on again.
    void connectComesBackWithATransport()
    {
        Settings().rememberCredentials(QStringLiteral("alice"), QStringLiteral("secret"));
        Panel panel;
        panel.widget.setServerSites(HalvorixConfig::getServerSites());
        QVERIFY(panel.connect().isEnabled());

        panel.widget.setCurrentServerSiteFromSettings(
            SiteConnectionParameters::makeSite(QStringLiteral("CHE"), QStringLiteral("Nowhere")), false);
        QCOMPARE(panel.protocolSelect().count(), 0);
        QVERIFY(!panel.connect().isEnabled());

        panel.widget.setCurrentServerSiteFromSettings(sites({"CHE-Zurich"}).first(), false);
        QVERIFY(panel.connect().isEnabled());
    }

    void connect_data()
    {
        QTest::addColumn<QString>("site");
        QTest::addColumn<QString>("transport");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("cipher");
        QTest::addColumn<bool>("stunnel");
        QTest::addColumn<bool>("remember");
        QTest::addColumn<Settings::IksSettings>("iks");
        QTest::addColumn<bool>("tunTapCheck");
        QTest::addColumn<int>("backendPort");
        QTest::addColumn<QString>("backendAuth");

        QTest::newRow("UDP 53, remembered")
            << "CHE-Zurich"
            << "UDP"
            << "53 ( SHA256 )"
            << "AES-256-GCM" << false << true << Settings::ENABLE << true << 53 << "SHA256";
        QTest::newRow("TCP 443 with stunnel, forgotten")
            << "JPN-Tokyo"
            << "TCP"
            << "443 ( SHA512 )"
            << "CHACHA20-POLY1305" << true << false << Settings::NOOP << false << 443 << "SHA512";
    }

    void connect()
    {
        QFETCH(QString, site);
        QFETCH(QString, transport);
        QFETCH(QString, port);
        QFETCH(QString, cipher);
        QFETCH(bool, stunnel);
        QFETCH(bool, remember);
        QFETCH(Settings::IksSettings, iks);
        QFETCH(bool, tunTapCheck);
        QFETCH(int, backendPort);
        QFETCH(QString, backendAuth);
        Settings settings;
        settings.rememberCredentials(QStringLiteral("old"), QStringLiteral("old-secret"));
        settings.setIksEnableOnConnect(iks);
        settings.setCheckTunTapOnConnect(tunTapCheck);

        Panel panel;
        panel.widget.setServerSites(HalvorixConfig::getServerSites());
        panel.widget.setCurrentServerSiteFromSettings(sites({site}).first(), false);
        panel.pick("protocolSelect", transport);
        panel.pick("portSelect", port);
        panel.pick("cipherSelect", cipher);
        panel.stunnel().setChecked(stunnel);
        panel.username().setText(QStringLiteral("alice"));
        panel.password().setText(QStringLiteral("secret"));
        panel.remember().setChecked(remember);

        QSignalSpy started(&panel.widget, &OrvalVPNConnectWidget::startOpenVpn243);
        QTest::mouseClick(&panel.connect(), Qt::LeftButton);
        const QSharedPointer<OpenVpnConnectionParameters> parameters = emitted(started);
        QVERIFY(parameters);
        QCOMPARE(parameters->getServerSite().getId(), site);
        QCOMPARE(parameters->getConnectVia().toString(), ConnectVia::fromString(transport).toString());
        QCOMPARE(parameters->getCipher().getPort(), backendPort);
        QCOMPARE(parameters->getCipher().getAuth(), backendAuth);
        QCOMPARE(parameters->getCipher().getCipher(), cipher);
        QCOMPARE(parameters->getSTunnelMode(),
                 stunnel ? ConnectionParameters::WITH_STUNNEL : ConnectionParameters::NO_STUNNEL);
        QCOMPARE(parameters->getIksSettings(), iks);
        QCOMPARE(parameters->getTunTapDriverCheck(), tunTapCheck);
        QVERIFY(parameters->getManageRouteProgramCheck());

        Settings after;
        QCOMPARE(after.defaultServerSite(), site);
        const OpenVpnConfigurationModel stored = after.defaultOpenVpn243SelectionConfigCipher();
        QCOMPARE(stored.getProtocolString(), transport);
        QCOMPARE(stored.getCipher(), cipher);
        QVERIFY(stored.getPorts().contains(backendPort));
        QCOMPARE(stored.stunnelEnabled(), stunnel);
        QCOMPARE(panel.statistics.getServerFrecuencyUsage().value(site), 1u);
        QCOMPARE(after.remembersCredentials(), remember);
        QCOMPARE(after.getUsername(), remember ? QStringLiteral("alice") : QString());
    }

    void pinnedIp_data()
    {
        QTest::addColumn<QString>("pin");
        QTest::addColumn<bool>("rowShown");
        QTest::addColumn<QString>("style");
        QTest::addColumn<QString>("toolTip");

        QTest::newRow("no pin") << "" << false << ""
                                << "";
        QTest::newRow("pin on") << "on" << true << ""
                                << "Pinned IP is turned on.\nYour public IP address will be 198.51.100.7.";
        QTest::newRow("pin off") << "off" << true << "QLabel{text-decoration: line-through;}"
                                 << "Pinned IP is turned off.\nYour public IP address will be random.";
    }

    void pinnedIp()
    {
        QFETCH(QString, pin);
        QFETCH(bool, rowShown);
        QFETCH(QString, style);
        QFETCH(QString, toolTip);
        const QString zurich = QStringLiteral("CHE-Zurich");
        Settings settings;
        settings.forgetPinnedIP(zurich);
        if (!pin.isEmpty()) {
            settings.setPinnedIP(zurich, QHostAddress(QStringLiteral("198.51.100.7")));
            settings.setHasPinnedIP(zurich, pin == "on");
        }
        Panel panel;
        panel.widget.setServerSites(HalvorixConfig::getServerSites());
        panel.widget.setCurrentServerSiteFromSettings(sites({zurich}).first(), false);
        panel.widget.show();

        auto &pinBox = child<QCheckBox>(panel.widget, "pinServerIp");
        auto &remoteIp = child<QLabel>(panel.widget, "remoteIp");
        for (const char *name : {"pinServerIp", "remoteIp", "remoteIpLabel", "remoteIpForget"})
            QCOMPARE(child<QWidget>(panel.widget, name).isVisible(), rowShown);
        if (!rowShown)
            return;
        QCOMPARE(remoteIp.text(), QStringLiteral("198.51.100.7"));
        QCOMPARE(remoteIp.styleSheet(), style);
        QCOMPARE(remoteIp.toolTip(), toolTip);
        QCOMPARE(pinBox.isChecked(), pin == "on");
        QCOMPARE(pinBox.toolTip(), pin == "on" ? QStringLiteral("Disable pinned IP address.")
                                               : QStringLiteral("Enable pinned IP address."));

        // The pin box flips the stored switch; the site follows.
        QTest::mouseClick(&pinBox, Qt::LeftButton, {}, QPoint(7, pinBox.height() / 2));
        QCOMPARE(Settings().hasPinnedIP(zurich), pin != "on");
        QCOMPARE(panel.widget.getCurrentServerSite().isPinned(), pin != "on");
        QCOMPARE(remoteIp.styleSheet().isEmpty(), pin != "on");

        // Forget removes the address and the row.
        QTest::mouseClick(&child<QPushButton>(panel.widget, "remoteIpForget"), Qt::LeftButton);
        QVERIFY(Settings().getPinnedIP(zurich).isNull());
        QVERIFY(!remoteIp.isVisible());
        QVERIFY(panel.widget.getCurrentServerSite().getPinnedIp().isNull());
    }

    // Catalogue and user text in the site area is never markup.
    void siteTextsArePlain()
    {
        Panel panel;
        const HalvorixServerSite site =
            SiteConnectionParameters::makeSite(QStringLiteral("CHE"), QStringLiteral("<b>Zurich</b>"));
        panel.widget.setCurrentServerSiteFromSettings(site, false);
        QCOMPARE(child<QLabel>(panel.widget, "city").text(), QStringLiteral("<b>Zurich</b>"));
        for (const char *name : {"country", "city", "remoteIp", "dedicatedIp"})
            QCOMPARE(child<QLabel>(panel.widget, name).textFormat(), Qt::PlainText);
    }

    void dedicatedIp()
    {
        Panel panel;
        panel.widget.show();
        panel.widget.setCurrentServerSiteFromSettings(
            SiteConnectionParameters::makeSite(QStringLiteral("CHE"), QStringLiteral("office"), false,
                                               QHostAddress(QStringLiteral("192.0.2.1"))),
            false);
        QVERIFY(child<QLabel>(panel.widget, "dedicatedIp").isVisible());
        QCOMPARE(child<QLabel>(panel.widget, "dedicatedIp").text(), QStringLiteral("192.0.2.1"));
        panel.widget.setCurrentServerSiteFromSettings(sites({"CHE-Zurich"}).first(), false);
        QVERIFY(!child<QLabel>(panel.widget, "dedicatedIp").isVisible());
        QVERIFY(!child<QLabel>(panel.widget, "dedicatedIpLabel").isVisible());
    }

    void settingsLink_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("saves");
        QTest::newRow("Save") << int(QDialogButtonBox::Save) << 1;
        QTest::newRow("Cancel") << int(QDialogButtonBox::Cancel) << 0;
    }

    // The link runs the preferences and passes a save on, once; a Cancel of
    // an untouched dialog passes nothing.
    void settingsLink()
    {
        QFETCH(int, button);
        QFETCH(int, saves);
        QSharedPointer<AnsweringMessageBoxFactory> factory(new AnsweringMessageBoxFactory);
        MessageBoxFactory::setInstance(factory);
        RecordingOsAbstraction os;
        RecordingVpnBackend backend;
        FakeBackendStateTracker tracker;
        Panel panel;
        panel.widget.setOsAbstraction(&os);
        panel.widget.setVpnBackend(&backend);
        panel.widget.setBackendStateTracker(&tracker);
        panel.widget.setServerSites(sites({"JPN-Tokyo"}));
        QCOMPARE(panel.currentId(), QStringLiteral("JPN-Tokyo"));
        QSignalSpy saved(&panel.widget, &OrvalVPNConnectWidget::settingsSaved);
        factory->answers << AnsweringMessageBoxFactory::pressInButtonBox(QDialogButtonBox::StandardButton(button));

        emit child<QLabel>(panel.widget, "settings").linkActivated(QStringLiteral("settings"));
        QCOMPARE(factory->shown.size(), 1);
        QCOMPARE(factory->shown.first().className, QStringLiteral("SettingsDialog"));
        MessageBoxFactory::setInstance({});
        QCOMPARE(saved.size(), saves);
    }

    void areaClick_data()
    {
        QTest::addColumn<bool>("inside");
        QTest::newRow("release on the site") << true;
        QTest::newRow("release beside it") << false;
    }

    void areaClick()
    {
        QFETCH(bool, inside);
        QWidget parent;
        int parentPresses = 0;
        struct Watcher : QObject
        {
            int &presses;
            explicit Watcher(int &presses)
                : presses(presses)
            {
            }
            bool eventFilter(QObject *, QEvent *event) override
            {
                if (event->type() == QEvent::MouseButtonPress)
                    ++presses;
                return false;
            }
        } watcher(parentPresses);
        parent.installEventFilter(&watcher);
        auto *panel = new OrvalVPNConnectWidget(&parent);
        panel->setServerSites(HalvorixConfig::getServerSites());
        parent.resize(900, 200);
        panel->resize(900, 200);
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));

        QSignalSpy select(panel, &OrvalVPNConnectWidget::selectServerSite);
        const QWidget &area = child<QWidget>(*panel, "serverWidget");
        const QPoint point = inside ? child<QLabel>(*panel, "city").mapTo(panel, QPoint(2, 2))
                                    : QPoint(area.geometry().right() + 30, area.geometry().bottom() + 5);
        QTest::mousePress(panel, Qt::LeftButton, {}, point);
        QTest::mouseRelease(panel, Qt::LeftButton, {}, point);
        QCOMPARE(select.size(), inside ? 1 : 0);
        if (inside)
            QCOMPARE(select.first().first().value<HalvorixServerSite>().getId(), panel->getCurrentServerSite().getId());
        QCOMPARE(parentPresses, 0);
    }

    void siteButton()
    {
        Panel panel;
        panel.widget.setServerSites(sites({"JPN-Tokyo"}));
        QSignalSpy select(&panel.widget, &OrvalVPNConnectWidget::selectServerSite);
        QTest::mouseClick(&child<QToolButton>(panel.widget, "selectServerSite"), Qt::LeftButton);
        QCOMPARE(select.size(), 1);
        QCOMPARE(select.first().first().value<HalvorixServerSite>().getId(), QStringLiteral("JPN-Tokyo"));
    }
};

QTEST_MAIN(TestConnectWidget)
#include "tst_connectwidget.moc"
