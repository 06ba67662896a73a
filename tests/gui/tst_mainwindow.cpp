// The main window offscreen, over the built-in catalogue, a recording backend
// and a recording system layer: its pages for each sequence of backend
// messages and user acts, error boxes, the cipher "none" warning, the update
// banner, the menus, closing and minimising.
#include "AnsweringMessageBoxFactory.h"
#include "BuiltInCatalogue.h"
#include "MainWindowMapSteps.h"
#include "MainWindowServices.h"
#include "SiteConnectionParameters.h"

#include "catalogue/HalvorixConfig.h"
#include "core/LogHandlerOption.h"
#include "core/NetworkInterface.h"
#include "gui/ExternalLink.h"
#include "gui/MapProjection.h"
#include "gui/MouseEventBlockingWidget.h"
#include "gui/OrvalVPNConnectWidget.h"
#include "gui/OrvalVPNMainWindow.h"
#include "gui/OrvalVpnMapWidget.h"
#include "gui/ServerListWidget.h"
#include "prefs/Settings.h"

#include <QAction>
#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolButton>

Q_DECLARE_METATYPE(VpnFrontend *)
Q_DECLARE_METATYPE(QDialogButtonBox::StandardButton)

using BuiltInCatalogue::child;

namespace {

QSharedPointer<ConnectionParameters> parameters()
{
    return QSharedPointer<ConnectionParameters>(new SiteConnectionParameters(
        BuiltInCatalogue::site(QStringLiteral("JPN-Tokyo")), HalvorixServerSite::UDP, QStringLiteral("AES-256-GCM")));
}

// The window's services, with the questions the tables ask about the window.
struct WindowWorld : MainWindowServices
{
    AnsweringMessageBoxFactory *factory = nullptr;

    OrvalVPNMainWindow &make()
    {
        create();
        // Past the replay of the attach: messages from here on are live.
        QTest::qWait(1);
        return *window;
    }

    bool blocking() const { return child<MouseEventBlockingWidget>(*window, "blockingWidget").blocking; }
    bool shown(const char *name) const { return !child<QWidget>(*window, name).isHidden(); }
    QString statusText() const { return child<QLabel>(*window, "state").text(); }
    QString currentSite() const
    {
        return child<OrvalVPNConnectWidget>(*window, "connectWidget").getCurrentServerSite().getId();
    }

    // "connect", "list" or the current page of the stack.
    QString page() const
    {
        if (shown("stackedWidget")) {
            const QString name = child<QStackedWidget>(*window, "stackedWidget").currentWidget()->objectName();
            return name.chopped(int(qstrlen("Widget")));
        }
        return shown("serverListWidget") ? QStringLiteral("list") : QStringLiteral("connect");
    }

    // One step of a table: a backend message or a user act.
    void deliver(const QString &step)
    {
        OrvalVPNMainWindow &w = *window;
        const QString argument = step.section(' ', 1);
        if (step == "progress initial" || step == "progress running") {
            // Whoever starts (the panel or the tray) stores the site first.
            if (argument == "initial")
                Settings().setDefaultServerSite(parameters()->getServerSite().getId());
            w.onVpnStartupProgress(
                VpnStartupProgress(parameters(), QStringLiteral("INIT_CONNECTION"),
                                   argument == "initial" ? VpnStartupProgress::INITIAL : VpnStartupProgress::RUNNING));
        } else if (step.startsWith("result ")) {
            const QMap<QString, int> types {{"aborted", 0}, {"checks failed", 1}, {"started", 2}};
            QVERIFY(types.contains(argument));
            // Failed checks: the route program could not be run, which asks the user.
            w.onVpnStartupResult(VpnStartupResult(parameters(), VpnStartupResult::ResultType(types.value(argument)),
                                                  QString(),
                                                  VpnStartupResult::ROUTING_TABLE_MANAGER_PROGRAM_CHECK_FAILED));
        } else if (step.startsWith("answer ")) {
            factory->answerWith({argument});
        } else if (step.startsWith("state ")) {
            VpnConnectionState state(parameters());
            state.updateState(argument, QString(), QStringLiteral("10.8.0.6"), QStringLiteral("198.51.100.1"));
            w.onUpdateState(state);
        } else if (step.startsWith("password ")) {
            w.vpnPasswordRequest(PasswordRequestMessage(parameters(), argument.toInt()));
        } else if (step == "terminated") {
            w.vpnTerminated(VpnTerminationReport(parameters(), false, false));
        } else if (step.startsWith("map pick ")) {
            emit child<OrvalVpnMapWidget>(w, "map").serverSiteSelected(BuiltInCatalogue::site(step.section(' ', -1)));
        } else if (step.startsWith("list pick ")) {
            emit child<ServerListWidget>(w, "serverListWidget")
                .serverSiteSelected(BuiltInCatalogue::site(step.section(' ', -1)));
        } else if (step == "list dismiss") {
            emit child<ServerListWidget>(w, "serverListWidget").dismissed();
        } else if (step == "site button") {
            QTest::mouseClick(&child<QToolButton>(w, "selectServerSite"), Qt::LeftButton);
        } else {
            qFatal("Unknown step in the test table: %s", qPrintable(step));
        }
    }
};

// The link targets of a rich text.
QStringList anchors(const QString &html)
{
    QTextDocument document;
    document.setHtml(html);
    QStringList targets;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QString target = fragment.fragment().charFormat().anchorHref();
            if (!target.isEmpty() && !targets.contains(target))
                targets << target;
        }
    }
    return targets;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

    QSharedPointer<AnsweringMessageBoxFactory> m_factory;

private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(vpnbackend);
        qRegisterMetaType<VpnFrontend *>();
        QVERIFY(BuiltInCatalogue::install());
    }

    void init()
    {
        BuiltInCatalogue::resetPreferences();
        Settings().setDefaultServerSite(QStringLiteral("CHE-Zurich"));
        m_factory.reset(new AnsweringMessageBoxFactory);
        MessageBoxFactory::setInstance(m_factory);
    }

    void cleanup()
    {
        ExternalLink::setOpener({});
        MessageBoxFactory::setInstance({});
        m_factory.reset();
    }

    void startsOnTheConnectPage()
    {
        WindowWorld world;
        OrvalVPNMainWindow &window = world.make();
        QCOMPARE(window.windowTitle(), QCoreApplication::applicationName());
        QCOMPARE(world.page(), QStringLiteral("connect"));
        QVERIFY(!world.blocking());
        QVERIFY(!world.shown("updateInfo"));
        QCOMPARE(world.currentSite(), QStringLiteral("CHE-Zurich"));
        QStringList menus;
        for (QAction *menu : child<QMenuBar>(window, "menubar").actions())
            menus << menu->text();
        QCOMPARE(menus, QStringList({"File", "View", "Tools", "Help"}));
    }

    void pages_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("page");
        QTest::addColumn<bool>("bottomPanel");
        QTest::addColumn<bool>("panelEnabled");
        QTest::addColumn<bool>("blocking");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("site");

        const QString zurich = QStringLiteral("CHE-Zurich");
        // Every start of the table connects to Tokyo (from the tray): the
        // panel shows the site being connected from then on.
        const QString tokyo = QStringLiteral("JPN-Tokyo");
        const QString start = QStringLiteral("progress initial");
        QTest::newRow("initial progress") << QStringList {start} << "loading" << false << true << true << "" << tokyo;
        QTest::newRow("a running stage alone switches nothing")
            << QStringList {"progress running"} << "connect" << true << true << false << "Disconnected" << zurich;
        QTest::newRow("started keeps loading")
            << QStringList {start, "result started"} << "loading" << false << true << true << "" << tokyo;
        QTest::newRow("aborted") << QStringList {start, "result aborted"} << "connect" << true << true << false << ""
                                 << tokyo;
        QTest::newRow("checks failed, not retried")
            << QStringList {start, "result checks failed"} << "connect" << true << true << false << "" << tokyo;
        QTest::newRow("checks failed, retried") << QStringList {start, "answer yes", "result checks failed"}
                                                << "loading" << false << true << true << "" << tokyo;
        QTest::newRow("state: status page, still blocking")
            << QStringList {start, "state CONNECTED"} << "status" << false << true << true << "CONNECTED" << tokyo;
        QTest::newRow("first password request")
            << QStringList {start, "password 0"} << "login" << false << true << true << "Credentials Required" << tokyo;
        QTest::newRow("terminated") << QStringList {start, "state CONNECTED", "terminated"} << "connect" << true << true
                                    << false << "VPN Connection Terminated" << tokyo;
        // The state of the ended connection goes when the next start begins.
        QTest::newRow("terminated, then a new start") << QStringList {start, "state CONNECTED", "terminated", start}
                                                      << "loading" << false << true << true << "" << tokyo;
        QTest::newRow("site button") << QStringList {"site button"} << "list" << true << false << true << "Disconnected"
                                     << zurich;
        QTest::newRow("list dismissed") << QStringList {"site button", "list dismiss"} << "connect" << true << true
                                        << false << "Disconnected" << zurich;
        QTest::newRow("list pick") << QStringList {"site button", "list pick JPN-Tokyo"} << "connect" << true << true
                                   << false << "Disconnected"
                                   << "JPN-Tokyo";
        QTest::newRow("map pick") << QStringList {"map pick JPN-Tokyo"} << "connect" << true << true << false
                                  << "Disconnected"
                                  << "JPN-Tokyo";
        // A start from the tray while the list is open: the list goes.
        QTest::newRow("list open, tray start")
            << QStringList {"site button", start} << "loading" << false << false << true << "" << tokyo;
        QTest::newRow("list open, tray start, connected") << QStringList {"site button", start, "state CONNECTED"}
                                                          << "status" << false << false << true << "CONNECTED" << tokyo;
        // A pick during a connection only updates the (hidden) panel.
        QTest::newRow("pick while connected") << QStringList {start, "state CONNECTED", "map pick JPN-Tokyo"}
                                              << "status" << false << true << true << "CONNECTED"
                                              << "JPN-Tokyo";
        QTest::newRow("pick while starting")
            << QStringList {start, "list pick JPN-Tokyo"} << "loading" << false << true << true << ""
            << "JPN-Tokyo";
        QTest::newRow("pick at the login") << QStringList {start, "password 1", "map pick JPN-Tokyo"} << "login"
                                           << false << true << true << "Credentials Required"
                                           << "JPN-Tokyo";
        QTest::newRow("pick after the end") << QStringList {start, "terminated", "map pick JPN-Tokyo"} << "connect"
                                            << true << true << false << "VPN Connection Terminated"
                                            << "JPN-Tokyo";
    }

    void pages()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, page);
        QFETCH(bool, bottomPanel);
        QFETCH(bool, panelEnabled);
        QFETCH(bool, blocking);
        QFETCH(QString, status);
        QFETCH(QString, site);
        WindowWorld world;
        world.factory = m_factory.data();
        world.make();
        for (const QString &step : steps)
            world.deliver(step);

        QCOMPARE(world.page(), page);
        QCOMPARE(world.shown("bottomPanel"), bottomPanel);
        QCOMPARE(world.shown("serverListWidget"), page == "list");
        QCOMPARE(child<QWidget>(*world.window, "connectWidget").isEnabled(), panelEnabled);
        QCOMPARE(world.blocking(), blocking);
        QCOMPARE(world.statusText(), status);
        QCOMPARE(world.currentSite(), site);
        QCOMPARE(Settings().defaultServerSite(), site);
        QCOMPARE(world.backend.callsOf("startVPN").size(), steps.contains("answer yes") ? 1 : 0);
    }

    void mapShowsTheConnectionOnlyWhileAStartRuns_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<bool>("connected");
        const QString start = QStringLiteral("progress initial");
        QTest::newRow("starting") << QStringList {start} << true;
        QTest::newRow("started") << QStringList {start, "result started"} << true;
        QTest::newRow("aborted") << QStringList {start, "result aborted"} << false;
        QTest::newRow("checks failed, not retried") << QStringList {start, "result checks failed"} << false;
        QTest::newRow("checks failed, retried") << QStringList {start, "answer yes", "result checks failed"} << true;
        QTest::newRow("ended before connecting") << QStringList {start, "result started", "terminated"} << false;
        QTest::newRow("connected") << QStringList {start, "state CONNECTED"} << true;
        QTest::newRow("terminated") << QStringList {start, "state CONNECTED", "terminated"} << false;
        QTest::newRow("aborted, then a new start") << QStringList {start, "result aborted", start} << true;
    }

    // A start that ends leaves the map's connection view, however it ends, so
    // that the own location's and the hover callouts come back.
    void mapShowsTheConnectionOnlyWhileAStartRuns()
    {
        QFETCH(QStringList, steps);
        QFETCH(bool, connected);
        WindowWorld world;
        world.factory = m_factory.data();
        world.make();
        for (const QString &step : steps)
            world.deliver(step);
        const OrvalVpnMapWidget &map = child<OrvalVpnMapWidget>(*world.window, "map");
        QCOMPARE(map.isConnected(), connected);
        QCOMPARE(map.getViewOffset(), connected ? QPointF(350, 0) : QPointF());
    }

    // Every callout reads whole inside the visible map: the map minus the
    // panels shown over it and the banner. Hover over each site (or the map's
    // edge nearest it) on the connect page, with and without an own
    // location, and each site connected on the status page.
    void calloutsReadWholeInTheVisibleMap_data()
    {
        QTest::addColumn<QString>("site");
        QTest::addColumn<QString>("mode");
        // The catalogue's own sites, not dedicated ones an earlier run stored.
        BuiltInCatalogue::resetPreferences();
        for (const HalvorixServerSite &site : HalvorixConfig::getServerSites()) {
            for (const char *mode : {"hover", "hover with own location", "connected"})
                QTest::addRow("%s, %s", qPrintable(site.getId()), mode) << site.getId() << mode;
        }
    }

    void calloutsReadWholeInTheVisibleMap()
    {
        QFETCH(QString, site);
        QFETCH(QString, mode);
        if (mode != "hover")
            Settings().setMyLocation(GeoLocation(32.7767, -96.7970, QStringLiteral("USA")));
        WindowWorld world;
        world.factory = m_factory.data();
        OrvalVPNMainWindow &window = world.make();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        OrvalVpnMapWidget &map = child<OrvalVpnMapWidget>(window, "map");
        const HalvorixServerSite chosen = BuiltInCatalogue::site(site);
        if (mode == "connected") {
            MainWindowMapSteps::connect(window, chosen);
            QCOMPARE(world.page(), QStringLiteral("status"));
        } else {
            MainWindowMapSteps::hover(map, chosen);
        }
        QCoreApplication::processEvents();

        QRegion visible(map.rect());
        for (const char *panel : {"serverListWidget", "stackedWidget", "bottomPanel", "updateInfo"}) {
            const QWidget &widget = child<QWidget>(window, panel);
            if (widget.isVisible())
                visible -= QRect(widget.mapTo(&map, QPoint()), widget.size());
        }
        // The banner: 200 pixels wide, 10 from the right edge and 5 from the top.
        visible -= QRectF(map.width() - 210, 5, 200, 200.0 * 79 / 224).toAlignedRect();
        const QList<QRectF> callouts = map.calloutRects();
        QCOMPARE(callouts.size(), mode == "hover with own location" ? 2 : 1);
        for (const QRectF &callout : callouts) {
            const QRect rect = callout.toRect();
            QVERIFY2((QRegion(rect) - visible).isEmpty(),
                     qPrintable(QStringLiteral("callout at (%1, %2) %3x%4 leaves the visible map")
                                    .arg(rect.x())
                                    .arg(rect.y())
                                    .arg(rect.width())
                                    .arg(rect.height())));
        }
    }

    void loginBanner_data()
    {
        QTest::addColumn<QStringList>("requests");
        QTest::addColumn<bool>("banner");
        QTest::newRow("first request") << QStringList {"password 0"} << false;
        QTest::newRow("retry") << QStringList {"password 1"} << true;
        QTest::newRow("a new attempt after a failure") << QStringList {"password 2", "password 0"} << false;
    }

    void loginBanner()
    {
        QFETCH(QStringList, requests);
        QFETCH(bool, banner);
        WindowWorld world;
        world.make();
        world.deliver("progress initial");
        for (const QString &request : requests)
            world.deliver(request);
        QCOMPARE(world.page(), QStringLiteral("login"));
        QCOMPARE(!child<QLabel>(*world.window, "authFailed").isHidden(), banner);
    }

    // An empty site (a click on a map without sites) neither stores "-" nor
    // changes the page.
    void emptySiteIgnored()
    {
        WindowWorld world;
        OrvalVPNMainWindow &window = world.make();
        world.deliver("site button");
        window.onServerSiteSelected(HalvorixServerSite());
        QCOMPARE(Settings().defaultServerSite(), QStringLiteral("CHE-Zurich"));
        QCOMPARE(world.page(), QStringLiteral("list"));
        QCOMPARE(world.currentSite(), QStringLiteral("CHE-Zurich"));
    }

    void backendCommands()
    {
        WindowWorld world;
        OrvalVPNMainWindow &window = world.make();
        world.deliver("progress initial");
        QMetaObject::invokeMethod(&child<QWidget>(window, "loadingWidget"), "skipCurrentOperation");
        QMetaObject::invokeMethod(&child<QWidget>(window, "loadingWidget"), "abortConnection");
        QMetaObject::invokeMethod(&child<QWidget>(window, "statusWidget"), "stopOpenVpn");
        QMetaObject::invokeMethod(&child<QWidget>(window, "statusWidget"), "refreshPublicIp");
        QMetaObject::invokeMethod(&child<QWidget>(window, "loginWidget"), "login", Q_ARG(QString, "alice"),
                                  Q_ARG(QString, "secret"));
        QMetaObject::invokeMethod(&child<QWidget>(window, "loginWidget"), "abort");
        QCOMPARE(world.backend.calls,
                 QStringList({"skip", "abort", "stopVPN", "refreshPublicIp", "login alice", "stopVPN"}));
        QCOMPARE(world.backend.logins.last(), qMakePair(QStringLiteral("alice"), QStringLiteral("secret")));
    }

    void errorBoxes_data()
    {
        QTest::addColumn<bool>("fatal");
        QTest::addColumn<bool>("fileLog");
        QTest::addColumn<QString>("title");
        QTest::newRow("error") << false << false << "OrvalVPN Error";
        QTest::newRow("error, file log") << false << true << "OrvalVPN Error";
        QTest::newRow("fatal") << true << false << "OrvalVPN VPN Fatal Error";
        QTest::newRow("fatal, file log") << true << true << "OrvalVPN VPN Fatal Error";
    }

    void errorBoxes()
    {
        QFETCH(bool, fatal);
        QFETCH(bool, fileLog);
        QFETCH(QString, title);
        Settings().setLogHandlerOption(fileLog ? LogHandlerOption::FileHandler() : LogHandlerOption::StdErrHandler());
        WindowWorld world;
        OrvalVPNMainWindow &window = world.make();
        Qt::TextFormat format = Qt::AutoText;
        QStringList callsWhileShown;
        m_factory->answers << [&](QDialog &dialog) {
            format = AnsweringMessageBoxFactory::messageBox(dialog).textFormat();
            callsWhileShown = world.backend.calls;
            AnsweringMessageBoxFactory::messageBox(dialog).button(QMessageBox::Ok)->click();
        };
        const QString engineText = QStringLiteral("<b>bad</b> <a href=\"file:/etc\">x</a>");
        const ErrorMessage message = fatal ? ErrorMessage::GetVpnFatalErrorMessage(parameters(), engineText, "more")
                                           : ErrorMessage::GetErrorMessage(parameters(), engineText, "more");
        if (fatal)
            window.onReceiveFatalErrorMessage(message);
        else
            window.onReceiveErrorMessage(message);

        QCOMPARE(m_factory->shown.size(), 1);
        QCOMPARE(m_factory->shown.first().title, title);
        QCOMPARE(m_factory->shown.first().text, engineText);
        QCOMPARE(format, Qt::PlainText);
        QCOMPARE(m_factory->shown.first().customButtons.contains(MessageBoxFactory::showLogButtonText), fileLog);
        QVERIFY(callsWhileShown.isEmpty());
        QCOMPARE(world.backend.calls, QStringList {QStringLiteral("closeEvent %1").arg(message.getId())});
    }

    // The backend's word closes the open box from inside its modal loop; a
    // word about another event leaves it open.
    void eventClosed()
    {
        WindowWorld world;
        OrvalVPNMainWindow &window = world.make();
        const ErrorMessage message = ErrorMessage::GetErrorMessage(parameters(), "Error", "text");
        bool openAfterOtherId = false;
        bool openAfterOwnId = true;
        m_factory->answers << [&](QDialog &dialog) {
            dialog.show();
            window.onEventClosed(message.getId() + 1000);
            openAfterOtherId = dialog.isVisible();
            window.onEventClosed(message.getId());
            openAfterOwnId = dialog.isVisible();
        };
        window.onReceiveErrorMessage(message);
        QVERIFY(openAfterOtherId);
        QVERIFY(!openAfterOwnId);
        QCOMPARE(world.backend.callsOf("closeEvent").size(), 1);
        // No box is left for the id.
        window.onEventClosed(message.getId());
        window.onEventClosed(12345);
    }

    void cipherWarning_data()
    {
        QTest::addColumn<QString>("cipher");
        QTest::addColumn<bool>("warningOn");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("started");
        QTest::addColumn<bool>("warningAfter");

        QTest::newRow("none, Ok") << "none" << true << "ok" << true << true << true;
        QTest::newRow("none, ticked Ok") << "none" << true << "tick ok" << true << true << false;
        QTest::newRow("none, Cancel") << "none" << true << "cancel" << true << false << true;
        QTest::newRow("none, ticked Cancel") << "none" << true << "tick cancel" << true << false << true;
        QTest::newRow("none, closed") << "none" << true << "close" << true << false << true;
        QTest::newRow("none, warning off") << "none" << false << "" << false << true << false;
        QTest::newRow("None") << "None" << true << "" << false << true << true;
        QTest::newRow("NONE") << "NONE" << true << "" << false << true << true;
        QTest::newRow("a cipher") << "AES-256-GCM" << true << "" << false << true << true;
    }

    void cipherWarning()
    {
        QFETCH(QString, cipher);
        QFETCH(bool, warningOn);
        QFETCH(QString, answer);
        QFETCH(bool, asked);
        QFETCH(bool, started);
        QFETCH(bool, warningAfter);
        Settings().setDisplayCipherWarning(warningOn);
        WindowWorld world;
        OrvalVPNMainWindow &window = world.make();
        auto &cipherSelect = child<QComboBox>(window, "cipherSelect");
        cipherSelect.addItem(cipher);
        cipherSelect.setCurrentIndex(cipherSelect.count() - 1);
        if (!answer.isEmpty())
            m_factory->answerWith({answer});

        window.onStartOpenVpn(parameters());
        QCOMPARE(m_factory->shown.size(), asked ? 1 : 0);
        if (asked) {
            QCOMPARE(m_factory->shown.first().text, OrvalVPNMainWindow::CIPHER_NONE_WARNING);
            QCOMPARE(m_factory->checkBoxTexts.first(), OrvalVPNMainWindow::CIPHER_NONE_CHECK_BOX);
            QCOMPARE(m_factory->shown.first().icon, QMessageBox::Question);
        }
        QCOMPARE(world.backend.callsOf("startVPN").size(), started ? 1 : 0);
        QCOMPARE(Settings().displayCipherWarning(), warningAfter);
    }

    void updateBanner_data()
    {
        QTest::addColumn<QStringList>("notices");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QString>("link");

        const QString good = QStringLiteral("https://www.orvalvpn.example/download");
        QTest::newRow("https") << QStringList {good} << true << good;
        QTest::newRow("javascript") << QStringList {"javascript:alert(1)"} << false << "";
        QTest::newRow("file") << QStringList {"file:///etc/passwd"} << false << "";
        QTest::newRow("http") << QStringList {"http://www.orvalvpn.example/download"} << false << "";
        QTest::newRow("https without host") << QStringList {"https:///download"} << false << "";
        QTest::newRow("quote and angle bracket") << QStringList {"https://www.orvalvpn.example/a\"onclick=x<b>"} << true
                                                 << "https://www.orvalvpn.example/a%22onclick=x%3Cb%3E";
        // Markup-like text of the address stays text of the link.
        QTest::newRow("entities in the query") << QStringList {"https://www.orvalvpn.example/get?v=&lt;b&gt;&amp;x"}
                                               << true << "https://www.orvalvpn.example/get?v=&lt;b&gt;&amp;x";
        QTest::newRow("second notice changes nothing")
            << QStringList {good, "https://evil.example/other"} << true << good;
    }

    void updateBanner()
    {
        QFETCH(QStringList, notices);
        QFETCH(bool, shown);
        QFETCH(QString, link);
        WindowWorld world;
        OrvalVPNMainWindow &window = world.make();
        QStringList opened;
        ExternalLink::setOpener([&opened](const QUrl &url) {
            opened << url.toString(QUrl::FullyEncoded);
            return true;
        });
        for (const QString &url : notices)
            emit world.lifeCycle.updateAvailable(QStringLiteral("2.0.0"), QUrl(url), QUrl(url));

        auto &banner = child<QLabel>(window, "updateInfo");
        QCOMPARE(!banner.isHidden(), shown);
        QVERIFY(!banner.openExternalLinks());
        if (!shown)
            return;
        // Exactly one link, to the address, as the label's rich text reads it.
        QCOMPARE(anchors(banner.text()), QStringList {link});
        QVERIFY(banner.text().contains("Get It Now!"));
        emit banner.linkActivated(link);
        QCOMPARE(opened, QStringList {link});
        emit banner.linkActivated(QStringLiteral("file:///etc/passwd"));
        QCOMPARE(opened.size(), 1);
    }

    void menuState_data()
    {
        QTest::addColumn<bool>("killSwitch");
        QTest::addColumn<QStringList>("record");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("text");
        QTest::newRow("kill switch off") << false << QStringList() << false << "Disable Network Interfaces";
        QTest::newRow("kill switch off, record")
            << false << QStringList {"Wi-Fi"} << false << "Disable Network Interfaces";
        QTest::newRow("on, nothing disabled") << true << QStringList() << true << "Disable selected network devices";
        QTest::newRow("on, disabled") << true << QStringList {"Wi-Fi"} << true << "Enable selected network devices";
    }

    void menuState()
    {
        QFETCH(bool, killSwitch);
        QFETCH(QStringList, record);
        QFETCH(bool, enabled);
        QFETCH(QString, text);
        Settings settings;
        settings.setInternetKillSwitch(killSwitch);
        settings.setInternetKillSwitchDisabledInterfaces(record);
        settings.setAutoConnectOnStartup(true);
        WindowWorld world;
        OrvalVPNMainWindow &window = world.make();
        QAction *interfaces = window.findChild<QAction *>("actionIksEnableNetwork");
        QCOMPARE(interfaces->isEnabled(), enabled);
        QCOMPARE(interfaces->text(), text);
        QVERIFY(window.findChild<QAction *>("actionAutoConnectOnStartUp")->isChecked());

        // With the kill switch off the slot changes nothing.
        window.onIksEnableInterfaces();
        if (!killSwitch) {
            QVERIFY(world.os.calls.isEmpty());
            QCOMPARE(Settings().internetKillSwitchDisabledInterfaces(), record);
        }
    }

    void autoConnectAction()
    {
        WindowWorld world;
        OrvalVPNMainWindow &window = world.make();
        QAction *action = window.findChild<QAction *>("actionAutoConnectOnStartUp");
        QVERIFY(!action->isChecked());
        action->trigger();
        QVERIFY(Settings().autoConnectOnStartup());
        action->trigger();
        QVERIFY(!Settings().autoConnectOnStartup());
    }

    void killSwitchDisable()
    {
        Settings().setInternetKillSwitch(true);
        WindowWorld world;
        OrvalVPNMainWindow &window = world.make();
        window.findChild<QAction *>("actionIksEnableNetwork")->trigger();
        // The system layer disables and records service by service.
        QCOMPARE(world.os.calls, QStringList {"disableKillSwitchInterfaces"});
    }

    void killSwitchEnable_data()
    {
        QTest::addColumn<QStringList>("comingUp");
        QTest::addColumn<QStringList>("recordAfter");
        QTest::addColumn<QString>("text");
        QTest::newRow("all come up") << QStringList {"Wi-Fi", "Ethernet"} << QStringList()
                                     << "Disable selected network devices";
        QTest::newRow("one stays down") << QStringList {"Wi-Fi"} << QStringList {"Ethernet"}
                                        << "Enable selected network devices";
        QTest::newRow("none come up") << QStringList() << QStringList {"Wi-Fi", "Ethernet"}
                                      << "Enable selected network devices";
    }

    void killSwitchEnable()
    {
        QFETCH(QStringList, comingUp);
        QFETCH(QStringList, recordAfter);
        QFETCH(QString, text);
        Settings settings;
        settings.setInternetKillSwitch(true);
        settings.setInternetKillSwitchDisabledInterfaces({"Wi-Fi", "Ethernet"});
        WindowWorld world;
        OrvalVPNMainWindow &window = world.make();
        // A service answers "enabled" once it was enabled and it is one that comes up.
        world.os.onCall = [&](const QString &line) {
            if (line.startsWith("areInterfacesEnabled ")) {
                const QString service = line.section(' ', 1).mid(1).chopped(1);
                world.os.interfacesEnabled = comingUp.contains(service);
            }
        };
        QAction *action = window.findChild<QAction *>("actionIksEnableNetwork");
        action->trigger();
        QCOMPARE(world.os.callsOf("enableInterfaces"),
                 QStringList({"enableInterfaces [Wi-Fi]", "enableInterfaces [Ethernet]"}));
        QCOMPARE(Settings().internetKillSwitchDisabledInterfaces(), recordAfter);
        QCOMPARE(action->text(), text);
    }

    void quit()
    {
        WindowWorld world;
        OrvalVPNMainWindow &window = world.make();
        QStringList order;
        connect(&window, &OrvalVPNMainWindow::detachFrontend, [&order] { order << "detach"; });
        connect(&window, &OrvalVPNMainWindow::exitApplication, [&order] { order << "exit"; });
        window.findChild<QAction *>("actionQuit")->trigger();
        QCOMPARE(order, QStringList({"detach", "exit"}));
    }

    void close_data()
    {
        QTest::addColumn<bool>("rememberGeometry");
        QTest::addColumn<QStringList>("signals_");
        // Offscreen there is no tray, so close-to-tray reads false.
        QTest::newRow("close") << false << QStringList {"detach", "exit"};
        QTest::newRow("close, geometry remembered") << true << QStringList {"detach", "exit"};
    }

    void close()
    {
        QFETCH(bool, rememberGeometry);
        QFETCH(QStringList, signals_);
        Settings settings;
        settings.setRememberWindowGeometry(rememberGeometry);
        settings.setCloseToTray(true);
        settings.remove("window-geometry");
        WindowWorld world;
        OrvalVPNMainWindow &window = world.make();
        QStringList order;
        connect(&window, &OrvalVPNMainWindow::detachFrontend, [&order] { order << "detach"; });
        connect(&window, &OrvalVPNMainWindow::exitApplication, [&order] { order << "exit"; });
        QVERIFY(!window.close());
        QVERIFY(window.isVisible());
        QCOMPARE(order, signals_);
        QCOMPARE(Settings().contains("window-geometry"), rememberGeometry);
    }

    // Events other than a minimise to the tray reach the base class: a style
    // change there repaints the window (and re-lays it out).
    void changeEventsPassOn()
    {
        WindowWorld world;
        OrvalVPNMainWindow &window = world.make();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::qWait(20);
        struct UpdateCounter : QObject
        {
            int updates = 0;
            bool eventFilter(QObject *, QEvent *event) override
            {
                if (event->type() == QEvent::UpdateRequest)
                    ++updates;
                return false;
            }
        } counter;
        window.installEventFilter(&counter);
        QSignalSpy detach(&window, &OrvalVPNMainWindow::detachFrontend);
        QEvent styleChange(QEvent::StyleChange);
        QCoreApplication::sendEvent(&window, &styleChange);
        QTest::qWait(20);
        QVERIFY(counter.updates > 0);
        QCOMPARE(detach.size(), 0);
    }

    // A window made during a start-up gets the attempt replayed before it is
    // attached: it shows the loading page and never detaches itself.
    void replayedStartDoesNotDetach()
    {
        Settings settings;
        settings.setMinimizeOnConnect(true);
        settings.rememberCredentials("alice", "secret");
        settings.setAutoLoginOnConnect(true);
        WindowWorld world;
        world.create();
        QSignalSpy detach(world.window.data(), &OrvalVPNMainWindow::detachFrontend);
        world.deliver("progress initial");
        QCOMPARE(detach.size(), 0);
        QCOMPARE(world.page(), QStringLiteral("loading"));
        QVERIFY(world.window->isVisible());
    }

    // A start from the tray's menu: the panel shows that site, during the
    // connection and after it.
    void trayStartShowsItsSite()
    {
        WindowWorld world;
        OrvalVPNMainWindow &window = world.make();
        const auto &panel = child<OrvalVPNConnectWidget>(window, "connectWidget");
        QCOMPARE(child<QLabel>(panel, "country").text(), QStringLiteral("Switzerland"));
        world.deliver("progress initial");
        world.deliver("terminated");
        QCOMPARE(world.page(), QStringLiteral("connect"));
        QCOMPARE(child<QLabel>(panel, "country").text(), QStringLiteral("Japan"));
    }

    // The run mode's model hears of the download and feeds the window.
    void newCatalogue()
    {
        WindowWorld world;
        world.make();
        Settings().setDefaultServerSite(QStringLiteral("JPN-Tokyo"));
        world.sites.onNewConfigWasDownloaded();
        QCOMPARE(world.currentSite(), QStringLiteral("JPN-Tokyo"));
    }

    // One reading of the catalogue per change, whatever the number of windows
    // that show it; each shows the new reading.
    void oneReadingFeedsEveryWindow()
    {
        int readings = 0;
        QList<HalvorixServerSite> catalogue {BuiltInCatalogue::site(QStringLiteral("USA-Dallas"))};
        ServerSiteModel model({[&] {
                                   ++readings;
                                   return catalogue;
                               },
                               [] { return QList<StealthProxy>(); }});
        model.reload();
        WindowWorld first;
        WindowWorld second;
        for (WindowWorld *world : {&first, &second}) {
            world->make().followServerSites(model);
            QCOMPARE(world->currentSite(), QStringLiteral("USA-Dallas"));
        }
        QCOMPARE(readings, 1);

        catalogue = {BuiltInCatalogue::site(QStringLiteral("JPN-Tokyo"))};
        model.reload();
        QCOMPARE(readings, 2);
        for (WindowWorld *world : {&first, &second}) {
            QCOMPARE(world->currentSite(), QStringLiteral("JPN-Tokyo"));
            const HalvorixServerSite dallas = BuiltInCatalogue::site(QStringLiteral("USA-Dallas"));
            world->window->showServerListPage(dallas);
            const QListWidget &rows = child<QListWidget>(*world->window, "serverSites");
            QCOMPARE(rows.count(), 1);
            QCOMPARE(rows.item(0)->data(Qt::UserRole).value<HalvorixServerSite>().getId(), QStringLiteral("JPN-Tokyo"));
        }
    }

    // The sites are read once per change, but a pin set on the status page
    // since then shows when the list opens.
    void serverListShowsAPinSetSinceTheReading()
    {
        WindowWorld world;
        OrvalVPNMainWindow &window = world.make();
        const HalvorixServerSite dallas = BuiltInCatalogue::site(QStringLiteral("USA-Dallas"));
        Settings settings;
        settings.setPinnedIP(dallas.getId(), QHostAddress(QStringLiteral("198.51.100.9")));
        settings.setHasPinnedIP(dallas.getId(), true);
        window.showServerListPage(dallas);
        const QListWidget &rows = child<QListWidget>(window, "serverSites");
        bool listed = false;
        for (int row = 0; row < rows.count(); ++row) {
            const HalvorixServerSite site = rows.item(row)->data(Qt::UserRole).value<HalvorixServerSite>();
            if (site.getId() != dallas.getId())
                continue;
            listed = true;
            QVERIFY(site.isPinned());
            QCOMPARE(site.getPinnedIp(), QHostAddress(QStringLiteral("198.51.100.9")));
        }
        QVERIFY(listed);
    }

    // A save in the preferences is reported once; on the run mode's answer the
    // panel and the map have the sites again (a dedicated address added
    // there can be picked on the map at once).
    void preferences()
    {
        WindowWorld world;
        OrvalVPNMainWindow &window = world.make();
        QSignalSpy saved(&window, &OrvalVPNMainWindow::settingsSaved);
        Settings settings;
        settings.setDefaultServerSite(QStringLiteral("JPN-Tokyo"));
        settings.setServerSitesWithDedicatedIp({SiteConnectionParameters::makeSite(
            QStringLiteral("NZL"), QStringLiteral("office"), false, QHostAddress(QStringLiteral("192.0.2.50")))});
        const HalvorixServerSite dedicated = HalvorixConfig::getServerSites().first();
        QCOMPARE(dedicated.getId(), QStringLiteral("NZL-192.0.2.50"));

        // The run mode's answer: its model reads the catalogue again, then the
        // lifecycle calls the window's slot by name.
        QObject::connect(&window, &OrvalVPNMainWindow::settingsSaved, &world.sites, &ServerSiteModel::reload);
        QVERIFY(QObject::connect(&window, SIGNAL(settingsSaved()), &window, SLOT(onSettingsSaved())));
        m_factory->answers << AnsweringMessageBoxFactory::pressInButtonBox(QDialogButtonBox::Save);
        window.findChild<QAction *>("actionPreferences")->trigger();
        QCOMPARE(m_factory->shown.size(), 1);
        QCOMPARE(m_factory->shown.first().className, QStringLiteral("SettingsDialog"));
        QCOMPARE(saved.size(), 1);
        QCOMPARE(world.currentSite(), QStringLiteral("JPN-Tokyo"));

        auto &map = child<OrvalVpnMapWidget>(window, "map");
        const QPoint there = map.matrix(0, 0).map(MapProjection::toMap(dedicated.getLocation())).toPoint();
        QTest::mouseClick(&map, Qt::LeftButton, {}, there);
        QCOMPARE(world.currentSite(), dedicated.getId());
    }

    // The preferences opened from the window look alike on every tab: each
    // group box wears the settings' style sheet (its border colour), whichever
    // tab the form built first; so do the small dialogs opened from there.
    void preferencesWearTheirStyleSheet()
    {
        WindowWorld world;
        OrvalVPNMainWindow &window = world.make();
        QStringList plain;
        const auto checkBoxes = [&plain](QWidget &within, const QString &where) {
            for (QGroupBox *box : within.findChildren<QGroupBox *>()) {
                if (!box->isVisible())
                    continue;
                const QImage picture = box->grab().toImage();
                if (QColor(picture.pixel(0, picture.height() / 2)) != QColor(QStringLiteral("#c5ccd4")))
                    plain << where + QLatin1Char('/') + box->objectName();
            }
        };
        const auto checkDialog = [checkBoxes](QDialog &dialog) {
            checkBoxes(dialog, dialog.metaObject()->className());
            dialog.reject();
        };
        m_factory->answers << [checkBoxes](QDialog &dialog) {
            auto *tabs = dialog.findChild<QTabWidget *>(QStringLiteral("tabWidget"));
            for (int i = 0; i < tabs->count(); ++i) {
                tabs->setCurrentIndex(i);
                checkBoxes(*tabs->widget(i), tabs->widget(i)->objectName());
            }
            dialog.findChild<QPushButton *>(QStringLiteral("dnsListWidget"))->click();
            dialog.findChild<QPushButton *>(QStringLiteral("serverSitesDedicatedIpAdd"))->click();
            dialog.reject();
        };
        m_factory->answers << checkDialog << checkDialog;
        window.findChild<QAction *>("actionPreferences")->trigger();
        QCOMPARE(m_factory->shown.size(), 3);
        QVERIFY2(plain.isEmpty(), qPrintable(QStringLiteral("plain group boxes: ") + plain.join(QLatin1Char(' '))));
    }

    void credentialsAfterPreferences_data()
    {
        QTest::addColumn<QString>("opener");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QDialogButtonBox::StandardButton>("end");
        QTest::addColumn<bool>("remembered");
        const auto cancel = QDialogButtonBox::Cancel;
        QTest::newRow("menu: defaults restored, Cancel") << "menu"
                                                         << "restore" << cancel << false;
        QTest::newRow("menu: defaults restored, Save") << "menu"
                                                       << "restore" << QDialogButtonBox::Save << false;
        QTest::newRow("menu: credentials forgotten, Cancel") << "menu"
                                                             << "forget" << cancel << false;
        QTest::newRow("menu: Cancel") << "menu"
                                      << "" << cancel << true;
        QTest::newRow("link: defaults restored, Cancel") << "link"
                                                         << "restore" << cancel << false;
        QTest::newRow("link: credentials forgotten, Cancel") << "link"
                                                             << "forget" << cancel << false;
    }

    // Credentials removed in the preferences leave the connect page: neither
    // shown nor ticked to be remembered, so the next Connect stores none.
    void credentialsAfterPreferences()
    {
        QFETCH(QString, opener);
        QFETCH(QString, action);
        QFETCH(QDialogButtonBox::StandardButton, end);
        QFETCH(bool, remembered);
        Settings().rememberCredentials(QStringLiteral("alice"), QStringLiteral("s3cret"));
        WindowWorld world;
        OrvalVPNMainWindow &window = world.make();
        QVERIFY(QObject::connect(&window, SIGNAL(settingsSaved()), &window, SLOT(onSettingsSaved())));
        QSignalSpy saved(&window, &OrvalVPNMainWindow::settingsSaved);
        auto &page = child<OrvalVPNConnectWidget>(window, "connectWidget");
        auto &username = child<QLineEdit>(page, "username");
        auto &password = child<QLineEdit>(page, "password");
        auto &remember = child<QCheckBox>(page, "rememberCredentials");
        QCOMPARE(username.text(), QStringLiteral("alice"));
        QVERIFY(remember.isChecked());

        m_factory->answers << [action, end](QDialog &dialog) {
            if (action == QLatin1String("restore"))
                dialog.findChild<QDialogButtonBox *>("buttonBox")->button(QDialogButtonBox::RestoreDefaults)->click();
            else if (action == QLatin1String("forget"))
                dialog.findChild<QPushButton *>("forgetCredentials")->click();
            dialog.findChild<QDialogButtonBox *>("buttonBox")->button(end)->click();
        };
        m_factory->answers << AnsweringMessageBoxFactory::answer(action == QLatin1String("restore") ? "yes" : "ok");
        if (opener == QLatin1String("menu"))
            window.findChild<QAction *>("actionPreferences")->trigger();
        else
            emit child<QLabel>(page, "settings").linkActivated(QStringLiteral("settings"));
        QCOMPARE(m_factory->shown.first().className, QStringLiteral("SettingsDialog"));
        QCOMPARE(saved.size(), remembered ? 0 : 1);
        QCOMPARE(Settings().remembersCredentials(), remembered);
        QCOMPARE(username.text(), remembered ? QStringLiteral("alice") : QString());
        QCOMPARE(password.text(), remembered ? QStringLiteral("s3cret") : QString());
        QCOMPARE(remember.isChecked(), remembered);

        // The next Connect stores credentials only where the user ticks the box again.
        username.setText(QStringLiteral("bob"));
        password.setText(QStringLiteral("pw"));
        child<QPushButton>(page, "connect").click();
        QCOMPARE(world.backend.starts.size(), 1);
        QCOMPARE(Settings().remembersCredentials(), remembered);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
