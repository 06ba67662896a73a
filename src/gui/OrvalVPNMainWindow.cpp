#include "gui/OrvalVPNMainWindow.h"

#include "BuildConfig.h"
#include "backend/VpnBackend.h"
#include "catalogue/ConnectionParameters.h"
#include "catalogue/HalvorixServerSitesList.h"
#include "catalogue/ServerSiteModel.h"
#include "core/LogHandlerOption.h"
#include "gui/AboutDialog.h"
#include "gui/ConnectionStatus.h"
#include "gui/ExternalLink.h"
#include "gui/GuiLogging.h"
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
    , m_osAbstraction(osAbstraction)
    , m_backendStateTracker(backendStateTracker)
    , m_ui(new Ui::OrvalVPNMainWindow)
    , m_networkManager(networkManager)
    , m_connectionStatus(new ConnectionStatus(this))
    , m_userStatistics(userStatistics)
    , m_backend(backend)
    , m_firstLiveEventId(EventMessage::peekNextEventId())
{
    m_ui->setupUi(this);
    setStyleSheet(StyleSheet::fromResource(QStringLiteral(":/resources/mainwindow.qss")));
    m_ui->statusWidget->setUpdateServer(QString::fromUtf8(BuildConfig::websiteUrl) + IP_CHECK_PAGE);
    m_ui->statusbar->addPermanentWidget(m_connectionStatus, 0);
    m_connectionStatus->reserveWidthFor({terminatedText(), credentialsRequiredText()});

    m_ui->blockingWidget->blocking = false;
    m_ui->serverListBlockingWidget->blocking = false;
    m_ui->serverListWidget->hide();
    m_ui->stackedWidget->hide();
    // The panels are see-through: the map and its markers show under them;
    // callouts go where no panel (nor the update banner) hides them.
    m_ui->map->setOverlays({m_ui->serverListWidget, m_ui->stackedWidget, m_ui->bottomPanel, m_ui->updateInfo});

    connectWidgets(lifeCycleClient);
    m_ui->connectWidget->setOsAbstraction(&osAbstraction);
    m_ui->connectWidget->setBackendStateTracker(&backendStateTracker);
    m_ui->connectWidget->setVpnBackend(&backend);
    m_ui->connectWidget->setUserStatistics(&userStatistics);

    // The banner's links go through the one checked opener, never straight to the desktop.
    ExternalLink::attach(*m_ui->updateInfo);
    m_ui->updateInfo->hide();
    lifeCycleClient.checkVersion();
    updateState();

    Settings settings;
    if (settings.getRememberWindowGeometry())
        settings.restoreWindowGeometry(this);
    if (settings.hasMyLocation())
        updateMyLocation(settings.getMyLocation());

    setWindowTitle(QCoreApplication::applicationName());
    show();
}

OrvalVPNMainWindow::~OrvalVPNMainWindow() = default;

QString OrvalVPNMainWindow::terminatedText()
{
    return tr("VPN Connection Terminated");
}

QString OrvalVPNMainWindow::credentialsRequiredText()
{
    return tr("Credentials Required");
}

void OrvalVPNMainWindow::connectWidgets(LifeCycleClient &lifeCycleClient)
{
    // By signature text on purpose: the window's fixed meta-object interface, connected in this order.
    connect(m_ui->loadingWidget, SIGNAL(abortConnection()), this, SLOT(sendAbortToBackend()));
    connect(m_ui->statusWidget, SIGNAL(stopOpenVpn()), this, SLOT(sendStopVPNToBackend()));
    connect(m_ui->loginWidget, SIGNAL(login(QString, QString)), this,
            SLOT(sendUsernamePasswordToBackend(QString, QString)));
    connect(m_ui->loginWidget, SIGNAL(abort()), this, SLOT(sendStopVPNToBackend()));

    connect(m_ui->actionPreferences, SIGNAL(triggered(bool)), this, SLOT(showPreferences()));
    connect(m_ui->actionQuit, SIGNAL(triggered(bool)), this, SLOT(emitExitApplication()));
    connect(m_ui->actionEurope, SIGNAL(triggered(bool)), m_ui->map, SLOT(showEurope()));
    connect(m_ui->actionNorthAmerica, SIGNAL(triggered(bool)), m_ui->map, SLOT(showNorthAmerica()));
    connect(m_ui->actionAfrica, SIGNAL(triggered(bool)), m_ui->map, SLOT(showAfrica()));
    connect(m_ui->actionAsia, SIGNAL(triggered(bool)), m_ui->map, SLOT(showAsia()));
    connect(m_ui->actionAustralia, SIGNAL(triggered(bool)), m_ui->map, SLOT(showAustralia()));
    connect(m_ui->actionDefault, SIGNAL(triggered(bool)), m_ui->map, SLOT(showDefault()));
    connect(m_ui->actionAbout, SIGNAL(triggered(bool)), this, SLOT(showAbout()));
    connect(m_ui->actionAutoConnectOnStartUp, SIGNAL(triggered(bool)), this, SLOT(onAutoConnectOnStartUp()));
    connect(m_ui->actionIksEnableNetwork, SIGNAL(triggered(bool)), this, SLOT(onIksEnableInterfaces()));

    connect(m_ui->map, SIGNAL(serverSiteSelected(HalvorixServerSite)), this,
            SLOT(onServerSiteSelected(HalvorixServerSite)));
    connect(&lifeCycleClient, SIGNAL(updateAvailable(QString, QUrl, QUrl)), this,
            SLOT(onUpdateAvailable(QString, QUrl, QUrl)));
    connect(m_ui->connectWidget, SIGNAL(startOpenVpn243(QSharedPointer<ConnectionParameters>)), this,
            SLOT(onStartOpenVpn(QSharedPointer<ConnectionParameters>)));
    connect(m_ui->connectWidget, SIGNAL(selectServerSite(HalvorixServerSite)), this,
            SLOT(showServerListPage(HalvorixServerSite)));
    connect(m_ui->connectWidget, &OrvalVPNConnectWidget::settingsSaved, this, &OrvalVPNMainWindow::settingsSaved);
    connect(m_ui->serverListWidget, SIGNAL(serverSiteSelected(HalvorixServerSite)), this,
            SLOT(onServerSiteSelected(HalvorixServerSite)));
    connect(m_ui->serverListWidget, SIGNAL(dismissed()), this, SLOT(showConnectPage()));
    connect(m_ui->statusWidget, SIGNAL(refreshPublicIp()), this, SLOT(requestToRefreshPublicIp()));
    // The loading page's Continue, for a start-up stage that may be skipped.
    connect(m_ui->loadingWidget, &OrvalVPNLoadingWidget::skipCurrentOperation, this,
            &OrvalVPNMainWindow::sendSkipToBackend);
}

void OrvalVPNMainWindow::followServerSites(const ServerSiteModel &model)
{
    const auto feed = [this, &model] {
        setStealthProxies(model.stealthProxies());
        setServerSites(model.sites());
    };
    feed();
    connect(&model, &ServerSiteModel::changed, this, feed);
}

void OrvalVPNMainWindow::setServerSites(const QList<HalvorixServerSite> &sites)
{
    m_serverSites = sites;
    m_ui->map->setServerSites(sites);
    m_ui->connectWidget->setServerSites(sites);
    m_ui->serverListWidget->setServerSites(HalvorixServerSitesList(sites));
}

void OrvalVPNMainWindow::setStealthProxies(const QList<StealthProxy> &proxies)
{
    m_stealthProxies = proxies;
    m_ui->connectWidget->setStealthProxies(proxies);
}

bool OrvalVPNMainWindow::isReplayed(const EventMessage &message) const
{
    return message.getId() < m_firstLiveEventId;
}

bool OrvalVPNMainWindow::connectionUnderWay() const
{
    return !m_ui->stackedWidget->isHidden();
}

// Pages.

void OrvalVPNMainWindow::showConnectPage()
{
    m_ui->map->mainWindowisNotShowingServerList();
    m_ui->map->update();
    m_ui->connectWidget->setEnabled(true);
    m_ui->serverListWidget->hide();
    m_ui->stackedWidget->hide();
    m_ui->bottomPanel->show();
    m_ui->blockingWidget->blocking = false;
    m_ui->connectWidget->updateGUIFromSettings();
    updateState();
}

void OrvalVPNMainWindow::showServerListPage(HalvorixServerSite site)
{
    m_ui->map->mainWindowIsShowingServerList();
    m_ui->map->update();
    m_ui->connectWidget->setEnabled(false);
    m_ui->blockingWidget->blocking = true;
    // A pin set on the status page since the last reading shows on the list.
    QList<HalvorixServerSite> sites = m_serverSites;
    Settings settings;
    for (HalvorixServerSite &each : sites)
        each.refresh(settings);
    m_ui->serverListWidget->setServerSites(HalvorixServerSitesList(sites));
    m_ui->serverListWidget->setCurrentServerSite(site);
    m_ui->serverListWidget->show();
}

void OrvalVPNMainWindow::showLoadingPage()
{
    m_ui->loadingWidget->setEnabled(true);
    m_ui->blockingWidget->blocking = true;
    showConnectionPage(*m_ui->loadingWidget);
}

void OrvalVPNMainWindow::showStatusPage()
{
    showConnectionPage(*m_ui->statusWidget);
}

void OrvalVPNMainWindow::showLoginPage()
{
    m_ui->loginWidget->configure();
    showConnectionPage(*m_ui->loginWidget);
    m_ui->loginWidget->focusUsername();
}

void OrvalVPNMainWindow::showConnectionPage(QWidget &page)
{
    // What goes is hidden before the page shows: for a moment both would
    // count in the window's minimum size, and the window would grow for good.
    m_ui->bottomPanel->hide();
    // A start from the tray while the list is open: the list goes, or it
    // would stand beside the connection pages.
    m_ui->serverListWidget->hide();
    m_ui->map->mainWindowisNotShowingServerList();
    m_ui->stackedWidget->setCurrentWidget(&page);
    m_ui->stackedWidget->show();
}

// What the backend reports.

void OrvalVPNMainWindow::onVpnStartupProgress(const VpnStartupProgress &progress)
{
    qCDebug(lcGui) << "MainWindow::onVpnStartupProgress - " << progress.getProgressMessageKey();
    if (progress.isInitialState()) {
        // What the status bar said of an earlier connection is over.
        m_connectionStatus->setState(QString());
        m_ui->statusWidget->initialize(progress.getConnectionParameters());
        showLoadingPage();
        m_ui->map->setConnectedServerSite(progress.getConnectionParameters());
        showSiteOfStart(progress);
        Settings settings;
        if (!isReplayed(progress) && settings.shouldMinimizeOnConnect() && settings.remembersCredentials()
            && settings.autoLoginOnConnect())
            emit detachFrontend(this);
    }
    m_ui->loadingWidget->updateProgress(progress);
}

void OrvalVPNMainWindow::showSiteOfStart(const VpnStartupProgress &progress)
{
    // A start from the tray's menu names a site the panel may not show; the
    // tray stored it as the default site, so the panel reads its choices back.
    const QSharedPointer<ConnectionParameters> parameters = progress.getConnectionParameters();
    if (!parameters)
        return;
    const HalvorixServerSite site = parameters->getServerSite();
    if (site.getId() != m_ui->connectWidget->getCurrentServerSite().getId())
        m_ui->connectWidget->setCurrentServerSiteFromSettings(site, false);
}

void OrvalVPNMainWindow::onVpnStartupResult(const VpnStartupResult &result)
{
    qCDebug(lcGui) << "MainWindow::onVpnStartupResult";
    Settings settings;
    GuiVpnStartup startup(m_backend, settings, m_osAbstraction);
    if (!startup.onVpnStartupResult(this, result, m_ui->connectWidget->getUser(), m_ui->connectWidget->getPass())) {
        // The start ended here, without a termination to follow: the map
        // leaves the connection view before the connect page repaints it.
        m_ui->map->onDisconnected();
        showConnectPage();
    }
}

void OrvalVPNMainWindow::onUpdateState(const VpnConnectionState &state)
{
    qCDebug(lcGui) << "MainWindow::onUpdateState";
    showStatusPage();
    m_ui->statusWidget->onUpdateState(state);
    m_connectionStatus->setState(state.getState());
    m_ui->map->setPublicIp(state);
}

void OrvalVPNMainWindow::onReceiveErrorMessage(const ErrorMessage &message)
{
    qCDebug(lcGui) << "MainWindow::onReceiveErrorMessage - " << message.getMessage() << " , "
                   << message.getInformativeText();
    showErrorMessage(message, ERROR_TITLE);
}

void OrvalVPNMainWindow::onReceiveFatalErrorMessage(const ErrorMessage &message)
{
    qCDebug(lcGui) << "MainWindow::onReceiveFatalErrorMessage - " << message.getMessage() << " , "
                   << message.getInformativeText();
    showErrorMessage(message, FATAL_ERROR_TITLE);
}

void OrvalVPNMainWindow::showErrorMessage(const ErrorMessage &message, const QString &title)
{
    const bool logButton = Settings().getLogHandlerOption() == LogHandlerOption::FileHandler();
    MessageBoxFactory::getInstance()->execErrorMessageBox(this, message.getMessage(), message.getInformativeText(),
                                                          title, logButton, message.getId(), this);
    // Every frontend closes its copy of the notice.
    m_backend.closeEvent(message.getId());
}

void OrvalVPNMainWindow::vpnTerminated(VpnTerminationReport report)
{
    qCDebug(lcGui) << "MainWindow::vpnTerminated"
                   << " - failed to start flag: " << report.getFailedToStartFlag()
                   << " - password request flag: " << report.getPasswordRequestFlag();
    showConnectPage();
    m_connectionStatus->setState(terminatedText());
    m_ui->map->onDisconnected();
    m_ui->connectWidget->onDisconnected();
}

void OrvalVPNMainWindow::onEventClosed(quint64 eventId)
{
    qCDebug(lcGui) << "MainWindow::onEventClosed - id " << eventId;
    closeMessageBox(eventId);
}

void OrvalVPNMainWindow::vpnPasswordRequest(const PasswordRequestMessage &request)
{
    qCDebug(lcGui) << "MainWindow::vpnPasswordRequest - authRetry " << request.getPasswordFailures();
    m_connectionStatus->setState(credentialsRequiredText());
    // Also on a first request: it takes down the banner of an earlier attempt.
    m_ui->loginWidget->authFailed(request.getPasswordFailures() != 0);
    showLoginPage();
}

void OrvalVPNMainWindow::onUpdateByteCount(ByteCount byteCount)
{
    qCDebug(lcGui) << "MainWindow::onUpdateByteCount";
    m_ui->statusWidget->onUpdateByteCount(byteCount);
}

void OrvalVPNMainWindow::onConnected()
{
    qCDebug(lcGui) << "MainWindow::onConnected";
}

void OrvalVPNMainWindow::onNewConfigWasDownloaded()
{
    // The run mode's model has read the new catalogue and fed the pages.
    qCDebug(lcGui) << "MainWindow::onNewConfigWasDownloaded";
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
    if (m_ui->connectWidget->getCurrentCipherString() != QLatin1String("none"))
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
    GuiVpnStartup startup(m_backend, settings, m_osAbstraction);
    startup.startVPN(parameters, m_ui->connectWidget->getUser(), m_ui->connectWidget->getPass());
}

// The update banner.

void OrvalVPNMainWindow::onUpdateAvailable(QString version, QUrl downloadUrl, QUrl changelogUrl)
{
    // The addresses come from the network: only https pages with a host are
    // offered, and as text, never as markup of the banner.
    for (const QUrl &url : {downloadUrl, changelogUrl}) {
        if (!ExternalLink::isAcceptable(url)) {
            qCWarning(lcGui) << "MainWindow::onUpdateAvailable - refused the update notice with the address" << url;
            return;
        }
    }
    QString text = m_ui->updateInfo->text();
    text.replace(VERSION_PLACEHOLDER, version.toHtmlEscaped());
    text.replace(DOWNLOAD_PLACEHOLDER, downloadUrl.toString(QUrl::FullyEncoded).toHtmlEscaped());
    text.replace(CHANGELOG_PLACEHOLDER, changelogUrl.toString(QUrl::FullyEncoded).toHtmlEscaped());
    m_ui->updateInfo->setText(text);
    m_ui->updateInfo->show();
}

// Sites.

void OrvalVPNMainWindow::onServerSiteSelected(HalvorixServerSite site, bool defaultStealthCipher)
{
    // A click on an empty map would store "-" as the user's site.
    if (OrvalVPNConnectWidget::isEmptySite(site))
        return;
    m_ui->connectWidget->setCurrentServerSiteFromSettings(site, defaultStealthCipher);
    m_ui->connectWidget->saveCurrentServerSite();
    updateState();
    // The connect page never covers a connection that starts or runs.
    if (!connectionUnderWay())
        showConnectPage();
}

void OrvalVPNMainWindow::updateMyLocation(GeoLocation location)
{
    m_ui->connectWidget->setDefaultCurrentServerSite();
    m_ui->map->setStartLocation(location);
    m_ui->map->update();
}

// Menus.

void OrvalVPNMainWindow::showPreferences()
{
    if (SettingsDialogLauncher::run(this, m_stealthProxies, m_osAbstraction, m_backend, m_backendStateTracker))
        emit settingsSaved();
}

void OrvalVPNMainWindow::onSettingsSaved()
{
    m_ui->connectWidget->setDefaultCurrentServerSite();
    m_ui->connectWidget->updateGUIFromSettings();
    m_ui->connectWidget->showStoredCredentials();
    updateState();
}

void OrvalVPNMainWindow::showAbout()
{
    AboutDialog about(this);
    about.exec();
}

void OrvalVPNMainWindow::onAutoConnectOnStartUp()
{
    Settings().setAutoConnectOnStartup(m_ui->actionAutoConnectOnStartUp->isChecked());
}

void OrvalVPNMainWindow::updateState()
{
    Settings settings;
    m_ui->actionAutoConnectOnStartUp->setChecked(settings.autoConnectOnStartup());
    m_ui->actionIksEnableNetwork->setEnabled(false);
    if (!settings.internetKillSwitch())
        return;
    m_ui->actionIksEnableNetwork->setEnabled(true);
    m_ui->actionIksEnableNetwork->setText(settings.internetKillSwitchDisabledInterfaces().isEmpty()
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
        m_osAbstraction.disableKillSwitchInterfaces();
    else
        enableKillSwitchInterfaces(settings);
    updateState();
}

void OrvalVPNMainWindow::enableKillSwitchInterfaces(Settings &settings)
{
    QStringList stillDisabled;
    for (const QString &service : settings.internetKillSwitchDisabledInterfaces()) {
        m_osAbstraction.enableInterface(service);
        if (!m_osAbstraction.areInterfacesEnabled({service}))
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
    m_backend.abort();
}

void OrvalVPNMainWindow::sendSkipToBackend()
{
    m_backend.skip();
}

void OrvalVPNMainWindow::sendStopVPNToBackend()
{
    m_backend.stopVPN();
}

void OrvalVPNMainWindow::sendUsernamePasswordToBackend(QString username, QString password)
{
    m_backend.login(username, password);
}

void OrvalVPNMainWindow::requestToRefreshPublicIp()
{
    m_backend.refreshPublicIp();
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
