#include "gui/OrvalVPNMainWindow.h"

#include "BuildConfig.h"
#include "app/LogHandlerOption.h"
#include "backend/VpnBackend.h"
#include "gui/AboutDialog.h"
#include "gui/ConnectionStatus.h"
#include "gui/ExternalLink.h"
#include "gui/GuiVpnStartup.h"
#include "gui/MessageBoxFactory.h"
#include "gui/NullEventMessageCloser.h"
#include "gui/OrvalVPNConnectWidget.h"
#include "gui/SettingsDialogLauncher.h"
#include "gui/StyleSheet.h"
#include "prefs/Settings.h"
#include "system/OsAbstraction.h"
#include "ui_OrvalVPNMainWindow.h"
#include "websvc/LifeCycleClient.h"
#include "websvc/ReplyHandler.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDebug>
#include <QTimer>

const QString OrvalVPNMainWindow::ERROR_TITLE = QStringLiteral("OrvalVPN Error");
const QString OrvalVPNMainWindow::FATAL_ERROR_TITLE = QStringLiteral("OrvalVPN VPN Fatal Error");
const QString OrvalVPNMainWindow::CIPHER_NONE_WARNING =
    QStringLiteral("Warning Cipher none specified, no encryption will be used!");
const QString OrvalVPNMainWindow::CIPHER_NONE_CHECK_BOX = QStringLiteral("Don't show this warning again");

namespace {
const QString IP_CHECK_PAGE = QStringLiteral("whats-my-ip.php");
const QString DOWNLOAD_PLACEHOLDER = QStringLiteral("DOWNLOAD_URL");
const QString CHANGELOG_PLACEHOLDER = QStringLiteral("CHANGELOG_URL");
const QString VERSION_PLACEHOLDER = QStringLiteral("VERSION");
} // namespace

OrvalVPNMainWindow::OrvalVPNMainWindow(OsAbstraction &osAbstraction, BackendStateTracker &backendStateTracker,
                                       QNetworkAccessManager *networkManager, UserStatistics &userStatistics,
                                       VpnBackend &backend, LifeCycleClient &lifeCycleClient, QWidget *parent)
    : QMainWindow(parent)
    , osAbstraction(osAbstraction)
    , backendStateTracker(backendStateTracker)
    , ui(new Ui::OrvalVPNMainWindow)
    , networkManager(networkManager)
    , connectionStatus(new ConnectionStatus(this))
    , userStatistics(userStatistics)
    , backend(backend)
{
    ui->setupUi(this);
    setStyleSheet(StyleSheet::fromResource(QStringLiteral(":/resources/mainwindow.qss")));
    ui->statusWidget->setUpdateServer(QString::fromUtf8(BuildConfig::websiteUrl) + IP_CHECK_PAGE);
    ui->statusbar->addPermanentWidget(connectionStatus, 0);

    ui->blockingWidget->blocking = false;
    ui->serverListBlockingWidget->blocking = false;
    ui->serverListWidget->hide();
    ui->stackedWidget->hide();

    connectWidgets(lifeCycleClient);
    ui->connectWidget->setOsAbstraction(&osAbstraction);
    ui->connectWidget->setBackendStateTracker(&backendStateTracker);
    ui->connectWidget->setVpnBackend(&backend);
    ui->connectWidget->setUserStatistics(&userStatistics);
    loadServerSites();

    // The banner's links go through the one checked opener, never straight to the desktop.
    ExternalLink::attach(*ui->updateInfo);
    ui->updateInfo->hide();
    lifeCycleClient.checkVersion();
    updateState();

    Settings settings;
    if (settings.getRememberWindowGeometry())
        settings.restoreWindowGeometry(this);
    if (settings.hasMyLocation())
        updateMyLocation(settings.getMyLocation());

    setWindowTitle(QCoreApplication::applicationName());
    // Whatever reaches the window before the event loop runs again is the
    // dispatcher bringing a new window up to date, not a live event.
    QTimer::singleShot(0, this, [this] { receivesLiveMessages = true; });
    show();
}

OrvalVPNMainWindow::~OrvalVPNMainWindow() = default;

void OrvalVPNMainWindow::connectWidgets(LifeCycleClient &lifeCycleClient)
{
    connect(ui->loadingWidget, SIGNAL(abortConnection()), this, SLOT(sendAbortToBackend()));
    connect(ui->statusWidget, SIGNAL(stopOpenVpn()), this, SLOT(sendStopVPNToBackend()));
    connect(ui->loginWidget, SIGNAL(login(QString, QString)), this,
            SLOT(sendUsernamePasswordToBackend(QString, QString)));
    connect(ui->loginWidget, SIGNAL(abort()), this, SLOT(sendStopVPNToBackend()));

    connect(ui->actionPreferences, SIGNAL(triggered(bool)), this, SLOT(showPreferences()));
    connect(ui->actionQuit, SIGNAL(triggered(bool)), this, SLOT(emitExitApplication()));
    connect(ui->actionEurope, SIGNAL(triggered(bool)), ui->map, SLOT(showEurope()));
    connect(ui->actionNorthAmerica, SIGNAL(triggered(bool)), ui->map, SLOT(showNorthAmerica()));
    connect(ui->actionAfrica, SIGNAL(triggered(bool)), ui->map, SLOT(showAfrica()));
    connect(ui->actionAsia, SIGNAL(triggered(bool)), ui->map, SLOT(showAsia()));
    connect(ui->actionAustralia, SIGNAL(triggered(bool)), ui->map, SLOT(showAustralia()));
    connect(ui->actionDefault, SIGNAL(triggered(bool)), ui->map, SLOT(showDefault()));
    connect(ui->actionAbout, SIGNAL(triggered(bool)), this, SLOT(showAbout()));
    connect(ui->actionAutoConnectOnStartUp, SIGNAL(triggered(bool)), this, SLOT(onAutoConnectOnStartUp()));
    connect(ui->actionIksEnableNetwork, SIGNAL(triggered(bool)), this, SLOT(onIksEnableInterfaces()));

    connect(ui->map, SIGNAL(serverSiteSelected(HalvorixServerSite)), this,
            SLOT(onServerSiteSelected(HalvorixServerSite)));
    connect(&lifeCycleClient, SIGNAL(updateAvailable(QString, QUrl, QUrl)), this,
            SLOT(onUpdateAvailable(QString, QUrl, QUrl)));
    connect(ui->connectWidget, SIGNAL(startOpenVpn243(QSharedPointer<ConnectionParameters>)), this,
            SLOT(onStartOpenVpn(QSharedPointer<ConnectionParameters>)));
    connect(ui->connectWidget, SIGNAL(selectServerSite(HalvorixServerSite)), this,
            SLOT(showServerListPage(HalvorixServerSite)));
    connect(ui->connectWidget, SIGNAL(attachTrayIcon()), this, SIGNAL(attachTrayIcon()));
    connect(ui->connectWidget, SIGNAL(detachTrayIcon()), this, SIGNAL(detachTrayIcon()));
    connect(ui->serverListWidget, SIGNAL(serverSiteSelected(HalvorixServerSite)), this,
            SLOT(onServerSiteSelected(HalvorixServerSite)));
    connect(ui->serverListWidget, SIGNAL(dismissed()), this, SLOT(showConnectPage()));
    connect(ui->statusWidget, SIGNAL(refreshPublicIp()), this, SLOT(requestToRefreshPublicIp()));
    // The loading page's Continue, for a start-up stage that may be skipped.
    connect(ui->loadingWidget, SIGNAL(skipCurrentOperation()), this, SLOT(sendSkipToBackend()));
}

void OrvalVPNMainWindow::loadServerSites()
{
    ui->map->setServerSites(halvorixConfig.getServerSites());
    ui->connectWidget->setServerSites(halvorixConfig.getServerSites());
    ui->connectWidget->setStealthProxies(halvorixConfig.getStealthProxies());
    ui->serverListWidget->setServerSites(halvorixConfig.getServerSitesList());
}

bool OrvalVPNMainWindow::connectionUnderWay() const
{
    return !ui->stackedWidget->isHidden();
}

// Pages.

void OrvalVPNMainWindow::showConnectPage()
{
    ui->map->mainWindowisNotShowingServerList();
    ui->map->update();
    ui->connectWidget->setEnabled(true);
    ui->bottomPanel->show();
    ui->serverListWidget->hide();
    ui->stackedWidget->hide();
    ui->blockingWidget->blocking = false;
    ui->connectWidget->updateGUIFromSettings();
    updateState();
}

void OrvalVPNMainWindow::showServerListPage(HalvorixServerSite site)
{
    ui->map->mainWindowIsShowingServerList();
    ui->map->update();
    ui->connectWidget->setEnabled(false);
    ui->blockingWidget->blocking = true;
    ui->serverListWidget->setServerSites(halvorixConfig.getServerSitesList());
    ui->serverListWidget->setCurrentServerSite(site);
    ui->serverListWidget->show();
}

void OrvalVPNMainWindow::showLoadingPage()
{
    ui->loadingWidget->setEnabled(true);
    ui->stackedWidget->setCurrentWidget(ui->loadingWidget);
    ui->blockingWidget->blocking = true;
    ui->stackedWidget->show();
    ui->bottomPanel->hide();
    // A start from the tray while the list is open: the list goes, or it
    // would stand beside the connection pages.
    ui->serverListWidget->hide();
    ui->map->mainWindowisNotShowingServerList();
}

void OrvalVPNMainWindow::showStatusPage()
{
    ui->bottomPanel->hide();
    ui->stackedWidget->setCurrentWidget(ui->statusWidget);
    ui->stackedWidget->show();
    ui->serverListWidget->hide();
    ui->map->mainWindowisNotShowingServerList();
}

void OrvalVPNMainWindow::showLoginPage()
{
    ui->loginWidget->configure();
    ui->stackedWidget->setCurrentWidget(ui->loginWidget);
    ui->stackedWidget->show();
    ui->bottomPanel->hide();
    ui->serverListWidget->hide();
    ui->map->mainWindowisNotShowingServerList();
    ui->loginWidget->focusUsername();
}

// What the backend reports.

void OrvalVPNMainWindow::onVpnStartupProgress(const VpnStartupProgress &progress)
{
    qDebug() << "MainWindow::onVpnStartupProgress - " << progress.getProgressMessageKey();
    if (progress.isInitialState()) {
        ui->statusWidget->initialize(progress.getConnectionParameters());
        showLoadingPage();
        ui->map->setConnectedServerSite(progress.getConnectionParameters());
        Settings settings;
        if (receivesLiveMessages && settings.shouldMinimizeOnConnect() && settings.remembersCredentials()
            && settings.autoLoginOnConnect())
            emit detachFrontend(this);
    }
    ui->loadingWidget->updateProgress(progress);
}

void OrvalVPNMainWindow::onVpnStartupResult(const VpnStartupResult &result)
{
    qDebug() << "MainWindow::onVpnStartupResult";
    Settings settings;
    GuiVpnStartup startup(backend, settings, osAbstraction);
    if (!startup.onVpnStartupResult(this, result, ui->connectWidget->getUser(), ui->connectWidget->getPass()))
        showConnectPage();
}

void OrvalVPNMainWindow::onUpdateState(const VpnConnectionState &state)
{
    qDebug() << "MainWindow::onUpdateState";
    showStatusPage();
    ui->statusWidget->onUpdateState(state);
    connectionStatus->setState(state.getState());
    ui->map->setPublicIp(state);
}

void OrvalVPNMainWindow::onReceiveErrorMessage(const ErrorMessage &message)
{
    qDebug() << "MainWindow::onReceiveErrorMessage - " << message.getMessage() << " , " << message.getInformativeText();
    showErrorMessage(message, ERROR_TITLE);
}

void OrvalVPNMainWindow::onReceiveFatalErrorMessage(const ErrorMessage &message)
{
    qDebug() << "MainWindow::onReceiveFatalErrorMessage - " << message.getMessage() << " , "
             << message.getInformativeText();
    showErrorMessage(message, FATAL_ERROR_TITLE);
}

void OrvalVPNMainWindow::showErrorMessage(const ErrorMessage &message, const QString &title)
{
    const bool logButton = Settings().getLogHandlerOption() == LogHandlerOption::FileHandler();
    MessageBoxFactory::getInstance()->execErrorMessageBox(this, message.getMessage(), message.getInformativeText(),
                                                          title, logButton, message.getId(), this);
    // Every frontend closes its copy of the notice.
    backend.closeEvent(message.getId());
}

void OrvalVPNMainWindow::vpnTerminated(VpnTerminationReport report)
{
    qDebug() << "MainWindow::vpnTerminated"
             << " - failed to start flag: " << report.getFailedToStartFlag()
             << " - password request flag: " << report.getPasswordRequestFlag();
    showConnectPage();
    connectionStatus->setState(tr("VPN Connection Terminated"));
    ui->map->onDisconnected();
    ui->connectWidget->onDisconnected();
}

void OrvalVPNMainWindow::onEventClosed(quint64 eventId)
{
    qDebug() << "MainWindow::onEventClosed - id " << eventId;
    closeMessageBox(eventId);
}

void OrvalVPNMainWindow::vpnPasswordRequest(const PasswordRequestMessage &request)
{
    qDebug() << "MainWindow::vpnPasswordRequest - authRetry " << request.getPasswordFailures();
    connectionStatus->setState(tr("Credentials Required"));
    // Also on a first request: it takes down the banner of an earlier attempt.
    ui->loginWidget->authFailed(request.getPasswordFailures() != 0);
    showLoginPage();
}

void OrvalVPNMainWindow::onUpdateByteCount(ByteCount byteCount)
{
    qDebug() << "MainWindow::onUpdateByteCount";
    ui->statusWidget->onUpdateByteCount(byteCount);
}

void OrvalVPNMainWindow::onConnected()
{
    qDebug() << "MainWindow::onConnected";
}

void OrvalVPNMainWindow::onNewConfigWasDownloaded()
{
    ui->connectWidget->setServerSites(halvorixConfig.getServerSites());
    ui->connectWidget->setStealthProxies(halvorixConfig.getStealthProxies());
    ui->map->setServerSites(halvorixConfig.getServerSites());
}

void OrvalVPNMainWindow::showFrontend()
{
    show();
}

void OrvalVPNMainWindow::hideFrontend()
{
    hide();
}

void OrvalVPNMainWindow::toggleVisibility()
{
    if (isVisible() && !isMinimized()) {
        emit detachFrontend(this);
        return;
    }
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    activateWindow();
    raise();
}

// Starting a connection.

void OrvalVPNMainWindow::onStartOpenVpn(QSharedPointer<ConnectionParameters> parameters)
{
    Settings settings;
    if (warnUserWhenCipherNoneIfCipherWarningIsActive(settings))
        startVPN(settings, parameters);
}

bool OrvalVPNMainWindow::warnUserWhenCipherNoneIfCipherWarningIsActive(Settings &settings)
{
    if (ui->connectWidget->getCurrentCipherString() != QLatin1String("none"))
        return true;
    if (!settings.displayCipherWarning())
        return true;
    NullEventMessageCloser closer;
    QSharedPointer<QMessageBox> box = MessageBoxFactory::getInstance()->getMessageBoxWithCheckBox(
        this, CIPHER_NONE_WARNING, CIPHER_NONE_CHECK_BOX, QMessageBox::Ok | QMessageBox::Cancel,
        MessageBoxFactory::Question, QString(), QString(), QMessageBox::NoButton, 0, &closer);
    const int answer = box->exec();
    if (answer == QMessageBox::Ok) {
        settings.setDisplayCipherWarning(!box->checkBox()->isChecked());
        return true;
    }
    return answer != QMessageBox::Cancel;
}

void OrvalVPNMainWindow::startVPN(Settings &settings, QSharedPointer<ConnectionParameters> parameters)
{
    GuiVpnStartup startup(backend, settings, osAbstraction);
    startup.startVPN(parameters, ui->connectWidget->getUser(), ui->connectWidget->getPass());
}

// The update banner.

void OrvalVPNMainWindow::onUpdateAvailable(QString version, QUrl downloadUrl, QUrl changelogUrl)
{
    // The addresses come from the network: only https pages with a host are
    // offered, and as text, never as markup of the banner.
    for (const QUrl &url : {downloadUrl, changelogUrl}) {
        if (!ExternalLink::isAcceptable(url)) {
            qWarning() << "MainWindow::onUpdateAvailable - refused the update notice with the address" << url;
            return;
        }
    }
    QString text = ui->updateInfo->text();
    text.replace(VERSION_PLACEHOLDER, version.toHtmlEscaped());
    text.replace(DOWNLOAD_PLACEHOLDER, downloadUrl.toString(QUrl::FullyEncoded).toHtmlEscaped());
    text.replace(CHANGELOG_PLACEHOLDER, changelogUrl.toString(QUrl::FullyEncoded).toHtmlEscaped());
    ui->updateInfo->setText(text);
    ui->updateInfo->show();
}

// Sites.

void OrvalVPNMainWindow::onServerSiteSelected(HalvorixServerSite site, bool defaultStealthCipher)
{
    // A click on an empty map would store "-" as the user's site.
    if (OrvalVPNConnectWidget::isEmptySite(site))
        return;
    ui->connectWidget->setCurrentServerSiteFromSettings(site, defaultStealthCipher);
    ui->connectWidget->saveCurrentServerSite();
    updateState();
    // The connect page never covers a connection that starts or runs.
    if (!connectionUnderWay())
        showConnectPage();
}

void OrvalVPNMainWindow::updateMyLocation(GeoLocation location)
{
    ui->connectWidget->setDefaultCurrentServerSite();
    ui->map->setStartLocation(location);
    ui->map->update();
}

// Menus.

void OrvalVPNMainWindow::showPreferences()
{
    SettingsDialogLauncher::run(this, halvorixConfig.getStealthProxies(), osAbstraction, backend, backendStateTracker);
    if (Settings().trayIconEnabled())
        emit attachTrayIcon();
    else
        emit detachTrayIcon();
    const QList<HalvorixServerSite> sites = halvorixConfig.getServerSites();
    ui->connectWidget->setServerSites(sites);
    ui->connectWidget->setDefaultCurrentServerSite();
    // Dedicated sites added in the dialog belong on the map too.
    ui->map->setServerSites(sites);
    updateState();
}

void OrvalVPNMainWindow::showAbout()
{
    AboutDialog about(this);
    about.exec();
}

void OrvalVPNMainWindow::onAutoConnectOnStartUp()
{
    Settings().setAutoConnectOnStartup(ui->actionAutoConnectOnStartUp->isChecked());
}

void OrvalVPNMainWindow::updateState()
{
    Settings settings;
    ui->actionAutoConnectOnStartUp->setChecked(settings.autoConnectOnStartup());
    ui->actionIksEnableNetwork->setEnabled(false);
    if (!settings.internetKillSwitch())
        return;
    ui->actionIksEnableNetwork->setEnabled(true);
    ui->actionIksEnableNetwork->setText(settings.internetKillSwitchDisabledInterfaces().isEmpty()
                                            ? tr("Disable selected network devices")
                                            : tr("Enable selected network devices"));
}

void OrvalVPNMainWindow::onIksEnableInterfaces()
{
    Settings settings;
    if (!settings.internetKillSwitch())
        return;
    if (settings.internetKillSwitchDisabledInterfaces().isEmpty())
        // Records after each service, so a crash midway leaves a true record.
        osAbstraction.disableKillSwitchInterfaces();
    else
        enableKillSwitchInterfaces(settings);
    updateState();
}

void OrvalVPNMainWindow::enableKillSwitchInterfaces(Settings &settings)
{
    QStringList stillDisabled;
    for (const QString &service : settings.internetKillSwitchDisabledInterfaces()) {
        osAbstraction.enableInterface(service);
        if (!osAbstraction.areInterfacesEnabled({service}))
            stillDisabled.append(service);
    }
    // A service that did not come up stays recorded, for the next try and the
    // clean-up after a crash.
    settings.setInternetKillSwitchDisabledInterfaces(stillDisabled);
}

void OrvalVPNMainWindow::emitExitApplication()
{
    emit detachFrontend(this);
    emit exitApplication(this);
}

// Commands to the backend.

void OrvalVPNMainWindow::sendAbortToBackend()
{
    backend.abort();
}

void OrvalVPNMainWindow::sendSkipToBackend()
{
    backend.skip();
}

void OrvalVPNMainWindow::sendStopVPNToBackend()
{
    backend.stopVPN();
}

void OrvalVPNMainWindow::sendUsernamePasswordToBackend(QString username, QString password)
{
    backend.login(username, password);
}

void OrvalVPNMainWindow::requestToRefreshPublicIp()
{
    backend.refreshPublicIp();
}

// Window events.

void OrvalVPNMainWindow::closeEvent(QCloseEvent *event)
{
    Settings settings;
    if (settings.getRememberWindowGeometry())
        settings.saveWindowGeometry(this);
    event->ignore();
    emit detachFrontend(this);
    if (!settings.shouldCloseToTray())
        emit exitApplication(this);
}

void OrvalVPNMainWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMinimized)
        && Settings().shouldMinimizeToTray()) {
        event->ignore();
        emit detachFrontend(this);
        return;
    }
    QMainWindow::changeEvent(event);
}
