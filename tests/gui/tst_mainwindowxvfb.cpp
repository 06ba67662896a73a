// The main window on a real X server with twm and a tray: pictures of its
// pages for people to look at (build/screenshots/tst_mainwindowxvfb-*.png),
// a close through the window manager and a minimise through xdotool.
#include "MainWindowServices.h"
#include "Screenshot.h"
#include "SiteConnectionParameters.h"

#include "backend/VpnFrontendDispatcher.h"
#include "catalogue/HalvorixConfig.h"
#include "catalogue/LocalConfigSource.h"
#include "core/ByteCount.h"
#include "gui/ApplicationTranslation.h"
#include "gui/StyleOrvalVpn.h"
#include "prefs/Settings.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QProcess>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QStyleOptionComboBox>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTextDocument>
#include <QToolButton>
#include <QTranslator>

Q_DECLARE_METATYPE(VpnFrontend *)

namespace {

const QString DEDICATED = QStringLiteral("ZAF-255.255.255.254");

HalvorixServerSite siteOf(const QString &id)
{
    for (const HalvorixServerSite &site : HalvorixConfig::getServerSites()) {
        if (site.getId() == id)
            return site;
    }
    return HalvorixServerSite();
}

QSharedPointer<ConnectionParameters> parameters()
{
    return QSharedPointer<ConnectionParameters>(
        new SiteConnectionParameters(siteOf(QStringLiteral("JPN-Tokyo")), HalvorixServerSite::UDP,
                                     QStringLiteral("AES-256-GCM"), QStringLiteral("SHA512")));
}

bool xdotool(const QStringList &arguments)
{
    return QProcess::execute(QStringLiteral("xdotool"), arguments) == 0;
}

// The services with the window made at once.
struct WindowWorld : MainWindowServices
{
    WindowWorld() { create(); }
};

// Every shown text of the window that does not fit its widget: plain labels
// line by line against their contents, every entry of a shown drop-down
// list against its edit field.
QStringList cutTexts(const QWidget &window)
{
    QStringList cut;
    for (const QLabel *label : window.findChildren<QLabel *>()) {
        if (!label->isVisible() || label->wordWrap() || label->text().isEmpty())
            continue;
        if (label->textFormat() == Qt::RichText
            || (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text())))
            continue;
        const QFontMetrics metrics = label->fontMetrics();
        for (const QString &line : label->text().split('\n')) {
            if (metrics.horizontalAdvance(line) > label->contentsRect().width())
                cut << QStringLiteral("%1 \"%2\" in %3 px")
                           .arg(label->objectName(), line)
                           .arg(label->contentsRect().width());
        }
    }
    for (const QComboBox *box : window.findChildren<QComboBox *>()) {
        if (!box->isVisible())
            continue;
        QStyleOptionComboBox option;
        option.initFrom(box);
        option.editable = box->isEditable();
        const int room =
            box->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, box).width();
        for (int i = 0; i < box->count(); ++i) {
            if (box->fontMetrics().horizontalAdvance(box->itemText(i)) > room)
                cut << QStringLiteral("%1 \"%2\" in %3 px").arg(box->objectName(), box->itemText(i)).arg(room);
        }
    }
    return cut;
}

} // namespace

class TestMainWindowXvfb : public QObject
{
    Q_OBJECT

    QTranslator m_translator;

    static void shoot(QWidget &window, const QString &name)
    {
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::qWait(50);
        QVERIFY(!Screenshot::saveWidget(window, name).isEmpty());
    }

private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(vpnbackend);
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        QVERIFY(ApplicationTranslation::install(m_translator));
        LocalConfigSource().execute();
        QTRY_VERIFY_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), 10000);
        // The server list's rows as the GUI run paints them.
        ServerListWidgetStyle::setInstance(QSharedPointer<StyleOrvalVpn>::create());
    }

    void cleanupTestCase() { ServerListWidgetStyle::setInstance({}); }

    void init()
    {
        Settings settings;
        settings.clear();
        settings.setDefaultServerSite(QStringLiteral("CHE-Zurich"));
        settings.rememberCredentials(QStringLiteral("alice"), QStringLiteral("s3cret"));
        settings.setMyLocation(GeoLocation(48.2082, 16.3738));
    }

    void pages()
    {
        using P = VpnStartupProgress;
        WindowWorld world;
        OrvalVPNMainWindow &window = *world.window;
        shoot(window, QStringLiteral("connect"));
        QCOMPARE(window.size(), QSize(787, 602));
        QCOMPARE(window.windowTitle(), QCoreApplication::applicationName());

        QTest::mouseClick(window.findChild<QToolButton *>(QStringLiteral("selectServerSite")), Qt::LeftButton);
        shoot(window, QStringLiteral("server-list"));
        QMetaObject::invokeMethod(window.findChild<QWidget *>(QStringLiteral("serverListWidget")), "dismissed");

        const QList<QPair<P::ProgressState, QString>> steps = {
            {P::INITIAL, P::INIT_CONNECTION},
            {P::RUNNING, P::PRELIMINARY_CHECKS},
            {P::SUCCESS, QString()},
            {P::RUNNING_SKIPPABLE, P::LOOKUP_HOSTNAME_BEFORE_CONNECTING}};
        for (const auto &step : steps)
            window.onVpnStartupProgress(P(parameters(), step.second, step.first));
        shoot(window, QStringLiteral("loading"));

        VpnConnectionState state(parameters());
        state.updateState(QStringLiteral("CONNECTED"), QStringLiteral("SUCCESS"), QStringLiteral("10.8.0.6"),
                          QStringLiteral("192.0.2.1"));
        state.updatedDetectedPublicIp(VpnConnectionState::FOUND, QHostAddress(QStringLiteral("192.0.2.1")), 1);
        window.onUpdateState(state);
        window.onUpdateByteCount(ByteCount(5 * 1024 * 1024 + 300000, 812345));
        shoot(window, QStringLiteral("status"));

        window.vpnPasswordRequest(PasswordRequestMessage(parameters(), 1));
        shoot(window, QStringLiteral("login"));

        window.vpnTerminated(VpnTerminationReport(parameters(), false, false));
        window.onUpdateAvailable(QStringLiteral("2.0.0"), QUrl(QStringLiteral("https://www.orvalvpn.example/get")),
                                 QUrl(QStringLiteral("https://www.orvalvpn.example/changes")));
        shoot(window, QStringLiteral("connect-update"));
        QVERIFY(!Screenshot::saveScreen(QStringLiteral("screen")).isEmpty());
    }

    // The window keeps the form's size over every site of the catalogue, a
    // pinned and a dedicated address, each proxy mode and every page of a
    // connection and its end; and no text it shows is cut.
    void keepsOneSizeAndWholeTexts()
    {
        {
            Settings settings;
            settings.setPinnedIP(QStringLiteral("GBR-London"), QHostAddress(QStringLiteral("255.255.255.254")));
            settings.setHasPinnedIP(QStringLiteral("GBR-London"), true);
            settings.setServerSitesWithDedicatedIp(
                {SiteConnectionParameters::makeSite(QStringLiteral("ZAF"), QStringLiteral("Johannesburg"), false,
                                                    QHostAddress(QStringLiteral("255.255.255.254")))});
            settings.setPinnedIP(DEDICATED, QHostAddress(QStringLiteral("192.0.2.77")));
        }
        WindowWorld world;
        OrvalVPNMainWindow &window = *world.window;
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QSize form(787, 602);
        const auto check = [&](const QString &where) {
            QTest::qWait(20);
            QVERIFY2(window.size() == form,
                     qPrintable(where + QStringLiteral(": %1 x %2").arg(window.width()).arg(window.height())));
            const QStringList cut = cutTexts(window);
            QVERIFY2(cut.isEmpty(), qPrintable(where + ": " + cut.join(", ")));
        };
        check("at the start");
        const QWidget &bottomPanel = *window.findChild<QWidget *>(QStringLiteral("bottomPanel"));
        const int plainPanelHeight = bottomPanel.height();
        for (const Settings::ProxySettings proxy : {Settings::DIRECT, Settings::CUSTOM, Settings::STEALTH}) {
            Settings().setProxySettings(proxy);
            window.onSettingsSaved();
            for (const HalvorixServerSite &site : HalvorixConfig::getServerSites()) {
                window.onServerSiteSelected(site);
                const QString where = QStringLiteral("proxy %1, %2").arg(int(proxy)).arg(site.getId());
                check(where);
                if (QTest::currentTestFailed())
                    return;
                // Stealth or not, the panel does not jump; rows of addresses
                // add to it. Its layout settles from the event loop, which a
                // loaded machine runs late.
                if (!Settings().hasPinnedIP(site.getId()) && site.getId() != DEDICATED)
                    QTRY_VERIFY2(bottomPanel.height() == plainPanelHeight, qPrintable(where));
            }
            if (proxy == Settings::STEALTH)
                shoot(window, QStringLiteral("connect-stealth-proxy"));
        }
        Settings().setProxySettings(Settings::DIRECT);
        window.onSettingsSaved();
        window.onServerSiteSelected(siteOf(DEDICATED));
        check("dedicated and pinned");
        shoot(window, QStringLiteral("connect-dedicated-ip"));
        // The pinned address stands over the dedicated one, the captions end together.
        const QWidget &panel = *window.findChild<QWidget *>(QStringLiteral("connectWidget"));
        const auto at = [&panel](const char *name) {
            const QWidget *widget = panel.findChild<QWidget *>(QLatin1String(name));
            return QRect(widget->mapTo(&panel, QPoint(0, 0)), widget->size());
        };
        QCOMPARE(at("remoteIp").left(), at("dedicatedIp").left());
        QCOMPARE(at("remoteIpLabel").right(), at("dedicatedIpLabel").right());
        window.onServerSiteSelected(siteOf(QStringLiteral("GBR-London")));
        shoot(window, QStringLiteral("connect-pinned-ip"));

        using P = VpnStartupProgress;
        for (const QString &stage : {P::INIT_CONNECTION, P::PRELIMINARY_CHECKS, P::LOOKUP_HOSTNAME_BEFORE_CONNECTING}) {
            window.onVpnStartupProgress(P(parameters(), stage, stage == P::INIT_CONNECTION ? P::INITIAL : P::RUNNING));
            check("loading " + stage);
        }
        VpnConnectionState state(parameters());
        for (const char *name : {"ASSIGN_IP", "CONNECTING", "RECONNECTING", "CONNECTED"}) {
            state.updateState(QString::fromLatin1(name), QStringLiteral("SUCCESS"), QStringLiteral("10.8.0.6"),
                              QStringLiteral("192.0.2.1"));
            window.onUpdateState(state);
            check(QStringLiteral("status ") + name);
        }
        window.vpnPasswordRequest(PasswordRequestMessage(parameters(), 1));
        check("login");
        window.vpnTerminated(VpnTerminationReport(parameters(), false, false));
        check("terminated");
        window.onVpnStartupProgress(P(parameters(), P::INIT_CONNECTION, P::INITIAL));
        check("a second start");
    }

    void closeThroughTheWindowManager_data()
    {
        QTest::addColumn<bool>("closeToTray");
        QTest::addColumn<int>("exits");
        QTest::newRow("close quits") << false << 1;
        QTest::newRow("close to the tray") << true << 0;
    }

    void closeThroughTheWindowManager()
    {
        QFETCH(bool, closeToTray);
        QFETCH(int, exits);
        Settings settings;
        settings.setCloseToTray(closeToTray);
        settings.setRememberWindowGeometry(true);
        WindowWorld world;
        QVERIFY(QTest::qWaitForWindowExposed(world.window.data()));
        QSignalSpy detach(world.window.data(), &OrvalVPNMainWindow::detachFrontend);
        QSignalSpy exit(world.window.data(), &OrvalVPNMainWindow::exitApplication);

        // twm's f.delete (bound to Alt+F4 in the test's twmrc) asks the window to close.
        const QString id = QString::number(world.window->winId());
        QVERIFY(xdotool({"mousemove", "--window", id, "100", "100"}));
        QVERIFY(xdotool({"key", "alt+F4"}));
        QTRY_COMPARE_WITH_TIMEOUT(detach.size(), 1, 5000);
        QCOMPARE(exit.size(), exits);
        QVERIFY(world.window->isVisible());
        QVERIFY(Settings().contains(QStringLiteral("window-geometry")));
    }

    void minimise_data()
    {
        QTest::addColumn<bool>("toTray");
        QTest::newRow("minimise to the tray") << true;
        QTest::newRow("plain minimise") << false;
    }

    void minimise()
    {
        QFETCH(bool, toTray);
        Settings().setMinimizeToTray(toTray);
        WindowWorld world;
        QVERIFY(QTest::qWaitForWindowExposed(world.window.data()));
        QSignalSpy detach(world.window.data(), &OrvalVPNMainWindow::detachFrontend);
        QVERIFY(xdotool({"windowminimize", "--sync", QString::number(world.window->winId())}));
        QTRY_VERIFY_WITH_TIMEOUT(world.window->isMinimized() || detach.size() > 0, 5000);
        QTest::qWait(200);
        QCOMPARE(detach.size(), toTray ? 1 : 0);
    }

    // With minimise-on-connect, remembered credentials and automatic login a
    // live start detaches the window; the same start replayed by the
    // dispatcher to a window made during it leaves it up on the loading page.
    // The start at launch is made before the event loop ever ran, and is live.
    void minimiseOnConnect_data()
    {
        QTest::addColumn<QString>("when");
        QTest::addColumn<bool>("detaches");
        QTest::newRow("replayed to a new window") << "before the window" << false;
        QTest::newRow("launch start, before the event loop") << "before the loop" << true;
        QTest::newRow("live start") << "after the loop" << true;
    }

    void minimiseOnConnect()
    {
        QFETCH(QString, when);
        QFETCH(bool, detaches);
        Settings settings;
        settings.setMinimizeOnConnect(true);
        settings.setAutoLoginOnConnect(true);
        const auto start = [] {
            return VpnStartupProgress(parameters(), VpnStartupProgress::INIT_CONNECTION, VpnStartupProgress::INITIAL);
        };
        VpnFrontendDispatcher dispatcher;
        if (when == "before the window")
            dispatcher.onVpnStartupProgress(start());
        WindowWorld world;
        QSignalSpy detach(world.window.data(), &OrvalVPNMainWindow::detachFrontend);
        // The test owns the window; the dispatcher only borrows it.
        dispatcher.add(QSharedPointer<VpnFrontend>(world.window.data(), [](VpnFrontend *) {}));
        if (when == "after the loop")
            QTest::qWait(1);
        if (when != "before the window")
            dispatcher.onVpnStartupProgress(start());
        dispatcher.removeAll();
        QCOMPARE(detach.size(), detaches ? 1 : 0);
        QVERIFY(world.window->isVisible());
        QCOMPARE(
            world.window->findChild<QStackedWidget *>(QStringLiteral("stackedWidget"))->currentWidget()->objectName(),
            QStringLiteral("loadingWidget"));
    }
};

QTEST_MAIN(TestMainWindowXvfb)
#include "tst_mainwindowxvfb.moc"
