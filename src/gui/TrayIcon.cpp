#include "gui/TrayIcon.h"

#include "backend/BackendStateTracker.h"
#include "backend/VpnBackend.h"
#include "catalogue/ConnectionParameters.h"
#include "catalogue/CountryCode.h"
#include "catalogue/OpenVpnConfigurationModel.h"
#include "catalogue/ServerSiteModel.h"
#include "core/TunnelType.h"
#include "gui/GuiLogging.h"
#include "gui/GuiVpnStartup.h"
#include "gui/QuitConfirmation.h"
#include "openconnect/OpenConnectConnectVia.h"
#include "openconnect/OpenConnectConnectionParameters.h"
#include "prefs/Settings.h"
#include "prefs/UserStatistics.h"
#include "system/OsAbstraction.h"

#include <QAction>
#include <QCoreApplication>
#include <QDebug>
#include <QEventLoop>
#include <QMenu>
#include <QTimer>

#include <algorithm>

const QString TrayIcon::DISCONNECTED_IMAGE = QStringLiteral(":/images/trayicon-disconnected.png");
const QString TrayIcon::CONNECTING_IMAGE = QStringLiteral(":/images/trayicon-connecting.png");
const QString TrayIcon::CONNECTED_IMAGE = QStringLiteral(":/images/trayicon.png");

namespace {

const QString CONNECTED_STATE = QStringLiteral("CONNECTED");

// Site actions and country submenus may be replaced while one of their
// menus is still delivering a signal: they go when control is back in the
// event loop.
void deleteWhenIdle(QObject *object)
{
    object->deleteLater();
}

QString boolText(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

} // namespace

TrayIcon::TrayIcon(VpnBackend &backend, OsAbstraction &os, BackendStateTracker &stateTracker,
                   UserStatistics &statistics)
    : QObject(nullptr)
    , m_backend(backend)
    , m_os(os)
    , m_stateTracker(stateTracker)
    , m_statistics(statistics)
    , m_trayIcon(new QSystemTrayIcon(this))
    , m_trayIconMenu(new QMenu)
    , m_serverMenu(new QMenu(tr("Server")))
    , m_showHideAction(new QAction(tr("Show/Hide"), this))
    , m_connectAction(new QAction(tr("Connect"), this))
    , m_disconnectAction(new QAction(tr("Disconnect"), this))
    , m_quitAction(new QAction(tr("Quit"), this))
    , m_newMainWindowAction(new QAction(tr("New MainWindow"), this))
{
    m_trayIcon->setIcon(QIcon(DISCONNECTED_IMAGE));
    m_trayIcon->setToolTip(displayName());
    m_connectAction->setEnabled(Settings().hasDefaultServerSite());
    m_disconnectAction->setEnabled(false);

    m_trayIconMenu->addAction(m_showHideAction);
    m_trayIconMenu->addMenu(m_serverMenu.get());
    m_trayIconMenu->addAction(m_connectAction);
    m_trayIconMenu->addAction(m_disconnectAction);
    m_trayIconMenu->addAction(m_quitAction);
    m_trayIcon->setContextMenu(m_trayIconMenu.get());

    connect(m_showHideAction, &QAction::triggered, this, &TrayIcon::toggleMainWindowVisibility);
    connect(m_connectAction, &QAction::triggered, this, &TrayIcon::connectToDefault);
    connect(m_disconnectAction, &QAction::triggered, this, &TrayIcon::sendStopVPNToBackend);
    connect(m_quitAction, &QAction::triggered, this, &TrayIcon::onQuitApplication);
    connect(m_trayIcon, &QSystemTrayIcon::messageClicked, this, &TrayIcon::showMainWindow);
    connect(m_trayIcon, &QSystemTrayIcon::activated, this, &TrayIcon::onIconActivated);
    // The menu emits triggered for the actions of its country submenus too:
    // connecting those as well would start every pick twice.
    connect(m_serverMenu.get(), &QMenu::triggered, this, &TrayIcon::onChangeServer);

    m_trayIcon->show();
}

TrayIcon::~TrayIcon()
{
    // The icon goes before the menu it shows.
    delete m_trayIcon;
}

QString TrayIcon::displayName()
{
    return QCoreApplication::translate("QObject", "APPLICATION_NAME");
}

bool TrayIcon::cmpServerSites(const HalvorixServerSite &a, const HalvorixServerSite &b)
{
    const auto key = [](const HalvorixServerSite &site) {
        return CountryCode::findByIsoCode(site.getCountryCode()).getName() + site.getCity();
    };
    return key(a) < key(b);
}

void TrayIcon::setMultiWindows()
{
    m_trayIconMenu->addAction(m_newMainWindowAction);
    connect(m_newMainWindowAction, &QAction::triggered, this, &TrayIcon::createNewMainWindow, Qt::UniqueConnection);
}

void TrayIcon::terminateVPN()
{
    if (m_stateTracker.isVPNRunning())
        stopAndWait();
}

// ---- VpnFrontend ----

void TrayIcon::onVpnStartupProgress(const VpnStartupProgress &progress)
{
    qCDebug(lcGui).noquote() << "TrayIcon::onVpnStartupProgress - " + progress.getProgressMessageKey();
    if (progress.isInitialState()) {
        m_startUpRunning = true;
        onConnecting();
    }
}

void TrayIcon::onVpnStartupResult(const VpnStartupResult &result)
{
    qCDebug(lcGui) << "TrayIcon::onVpnStartupResult";
    m_startUpRunning = false;
    switch (result.getType()) {
    case VpnStartupResult::STARTED: onConnecting(); return;
    case VpnStartupResult::ABORTED:
    case VpnStartupResult::PRELIMINARY_CHECKS_FAILED: break;
    default: qCDebug(lcGui) << "Warning: unknown VpnStartupResult Type"; break;
    }
    onDisconnected();
    runEnded();
}

void TrayIcon::onUpdateState(const VpnConnectionState &state)
{
    qCDebug(lcGui) << "TrayIcon::onUpdateState";
    const ConnectionFailure failure = state.getFailure();
    m_failureText = failure.isNull() || state.getState() == CONNECTED_STATE ? QString() : failure.retryText();
    if (state.isFailureChange()) {
        // A tray attached meanwhile hears of the state with its cause.
        m_stateText = state.getState();
        updateTooltip();
    }
    if (!state.isStateChanged())
        return;
    const QSharedPointer<ConnectionParameters> parameters = state.getConnectionParameters();
    if (parameters)
        m_currentServerSite = parameters->getServerSite();
    m_stateText = state.getState();
    m_localIp = state.getLocalIp();
    m_remoteIp = state.getRemoteIp();
    updateTooltip();

    if (m_stateText == CONNECTED_STATE) {
        displayNotifications(tr("Connection established!"),
                             tr("Connected to  %1 - %2\nLocal IP: %3\nRemote IP: %4")
                                 .arg(shownCity(),
                                      CountryCode::findByIsoCode(m_currentServerSite.getCountryCode()).getName(),
                                      m_localIp, m_remoteIp),
                             QSystemTrayIcon::Information);
        // A tray attached while connected gets the replayed state but no onConnected.
        setLook(CONNECTED_IMAGE, false);
    } else if (m_stateText == QLatin1String("EXITING")) {
        onDisconnected();
    } else if (m_stateText != QLatin1String("UPDATEINFO")) {
        onConnecting();
    }
}

void TrayIcon::onReceiveErrorMessage(const ErrorMessage &message)
{
    qCDebug(lcGui).noquote() << "TrayIcon::onReceiveErrorMessage - " + message.getMessage() + " , "
                                    + message.getInformativeText();
}

void TrayIcon::onReceiveFatalErrorMessage(const ErrorMessage &message)
{
    qCDebug(lcGui).noquote() << "TrayIcon::onReceiveFatalErrorMessage - " + message.getMessage() + " , "
                                    + message.getInformativeText();
    onDisconnected();
}

void TrayIcon::vpnTerminated(VpnTerminationReport report)
{
    qCDebug(lcGui).noquote() << "TrayIcon::vpnTerminated - failed to start flag: "
                                    + boolText(report.getFailedToStartFlag())
                                    + " - password request flag: " + boolText(report.getPasswordRequestFlag());
    onDisconnected();
    runEnded();
}

void TrayIcon::onEventClosed(quint64 eventId)
{
    qCDebug(lcGui) << "TrayIcon::onEventClosed - id " << eventId;
}

void TrayIcon::vpnPasswordRequest(const PasswordRequestMessage &request)
{
    qCDebug(lcGui) << "TrayIcon::vpnPasswordRequest - authRetry " << request.getPasswordFailures();
    if (request.getPasswordFailures() != 0) {
        notifyUserLoginFailed();
        return;
    }
    Settings settings;
    if (!(settings.autoLoginOnConnect() && settings.remembersCredentials()))
        notifyUserForCredentials();
}

void TrayIcon::onUpdateByteCount(ByteCount byteCount)
{
    qCDebug(lcGui) << "TrayIcon::onUpdateByteCount";
    m_sentText = byteCount.humanReadableByteCount(byteCount.getBytesSent(), 0);
    m_receivedText = byteCount.humanReadableByteCount(byteCount.getBytesReceived(), 0);
    updateTooltip();
}

void TrayIcon::onConnected()
{
    qCDebug(lcGui) << "TrayIcon::onConnected";
    setLook(CONNECTED_IMAGE, false);
}

void TrayIcon::onNewConfigWasDownloaded()
{
    // The run mode's model has read the new catalogue and fed the menu.
    qCDebug(lcGui) << "TrayIcon::onNewConfigWasDownloaded";
}

void TrayIcon::showFrontend()
{
}

void TrayIcon::hideFrontend()
{
}

void TrayIcon::toggleVisibility()
{
}

// ---- slots ----

void TrayIcon::displayNotifications(const QString &title, const QString &msg, QSystemTrayIcon::MessageIcon icon,
                                    int msecs)
{
    const QString key = QStringLiteral("Title: ") + title + QStringLiteral(" - Message: ") + msg;
    if (key == m_lastNotification)
        return;
    m_lastNotification = key;
    if (notificationsWanted())
        showTrayMessage(title, msg, icon, msecs);
}

bool TrayIcon::notificationsWanted() const
{
    return Settings().shouldDisplayNotifications();
}

void TrayIcon::showTrayMessage(const QString &title, const QString &msg, QSystemTrayIcon::MessageIcon icon, int msecs)
{
    m_trayIcon->showMessage(title, msg, icon, msecs);
}

void TrayIcon::notifyUserForCredentials()
{
    displayNotifications(tr("Login Required!"),
                         tr("Please enter your credentials to log into %1 service.").arg(displayName()),
                         QSystemTrayIcon::Information);
}

void TrayIcon::notifyUserLoginFailed()
{
    displayNotifications(tr("Login Failed!"), tr("Wrong username or password."), QSystemTrayIcon::Information);
}

void TrayIcon::onDisconnected()
{
    setLook(DISCONNECTED_IMAGE, true);
    m_failureText.clear();
    m_trayIcon->setToolTip(tr("%1 - Disconnected").arg(displayName()));
    displayNotifications(tr("Disconnected!"), tr("Disconnected from %1 service!").arg(displayName()),
                         QSystemTrayIcon::Information);
}

void TrayIcon::followServerSites(const ServerSiteModel &model)
{
    setServerSites(model.sites());
    connect(&model, &ServerSiteModel::changed, this, [this, &model] { setServerSites(model.sites()); });
}

void TrayIcon::setServerSites(QList<HalvorixServerSite> serverSites)
{
    m_serverSites = serverSites;
    // The old entries leave the menu now; their objects go later.
    m_serverMenu->clear();
    m_serverActions.clear();
    m_serverSubMenus.clear();

    std::sort(serverSites.begin(), serverSites.end(), cmpServerSites);
    QStringList countries;
    QHash<QString, QList<QSharedPointer<QAction>>> actionsByCountry;
    for (const HalvorixServerSite &site : serverSites) {
        const CountryCode country = CountryCode::findByIsoCode(site.getCountryCode());
        QSharedPointer<QAction> action(new QAction(site.getCity()), deleteWhenIdle);
        action->setData(site.getId());
        action->setIcon(QIcon(QPixmap(country.getFlagPath())));
        m_serverActions.insert(country.getName(), action);
        if (!actionsByCountry.contains(country.getName()))
            countries.append(country.getName());
        actionsByCountry[country.getName()].append(action);
    }

    std::sort(countries.begin(), countries.end());
    for (const QString &country : countries) {
        const QList<QSharedPointer<QAction>> &actions = actionsByCountry[country];
        if (actions.size() == 1) {
            actions.first()->setText(country);
            m_serverMenu->addAction(actions.first().data());
            continue;
        }
        QSharedPointer<QMenu> subMenu(new QMenu(country), deleteWhenIdle);
        for (const QSharedPointer<QAction> &action : actions)
            subMenu->addAction(action.data());
        subMenu->setIcon(actions.first()->icon());
        m_serverMenu->addMenu(subMenu.data());
        m_serverSubMenus.append(subMenu);
    }
}

void TrayIcon::onChangeServer(QAction *action)
{
    startVPN(action->data().toString());
}

void TrayIcon::connectToDefault()
{
    Settings settings;
    if (settings.hasDefaultServerSite()) {
        startVPN(settings.defaultServerSite());
        return;
    }
    displayNotifications(tr("No default server found!"), tr("Please select a server from the list."),
                         QSystemTrayIcon::Warning);
}

void TrayIcon::startVPN(const QString &serverSiteId)
{
    bool found = false;
    for (const HalvorixServerSite &site : qAsConst(m_serverSites)) {
        if (site.getId() == serverSiteId) {
            m_currentServerSite = site;
            found = true;
        }
    }
    if (!found) {
        displayNotifications(tr("Server not found!"), tr("The server might be out of date. Please try another server."),
                             QSystemTrayIcon::Warning);
        qCDebug(lcGui).noquote() << "Warning: server not found, maybe the server is out of date. Server ID: "
                                        + serverSiteId;
        return;
    }

    Settings settings;
    const TunnelType &tunnelType = settings.getDefaultTunnelType();
    QSharedPointer<ConnectionParameters> parameters;
    if (tunnelType == TunnelType::OPENVPN243()) {
        const OpenVpnConfigurationModel model = settings.defaultOpenVpn243SelectionConfigCipher();
        parameters = model.getConnectionParameters(settings, m_currentServerSite);
        // Stored only once there is something to start with it.
        if (parameters)
            settings.setDefaultServerSite(serverSiteId, model);
    } else if (tunnelType == TunnelType::OPENCONNECT()) {
        const OpenConnectConnectVia &connectVia = settings.defaultOpenConnectConnectVia();
        settings.setDefaultServerSite(serverSiteId, connectVia, settings.defaultOpenVpn243SelectionConfigCipher());
        qCDebug(lcGui).noquote() << "Connect OpenConnect - connectVia: " + connectVia.toString();
        parameters = QSharedPointer<OpenConnectConnectionParameters>::create(
            m_currentServerSite, connectVia, settings.iksEnableOnConnect(), settings.getCheckTunTapOnConnect(), true);
    } else {
        qCDebug(lcGui).noquote() << "Can not connect, unknown tunnel type" + tunnelType.toString();
    }

    if (!parameters) {
        qCDebug(lcGui) << "Error: unexpected exit point. ConnectionParameters should not be null at this point.";
        displayNotifications(tr("Insufficient data found!"), tr("Please start a connection from the main window."),
                             QSystemTrayIcon::Warning);
        return;
    }
    m_statistics.addOneUsageToServer(m_currentServerSite);
    GuiVpnStartup(m_backend, settings, m_os).startVPN(parameters, QString(), QString());
}

void TrayIcon::onConnecting()
{
    setLook(CONNECTING_IMAGE, false);
}

void TrayIcon::onIconActivated(QSystemTrayIcon::ActivationReason reason)
{
    // The platform opens the context menu itself.
    Q_UNUSED(reason)
}

QString TrayIcon::shownCity() const
{
    const QString city = m_currentServerSite.getCity();
    return city == QLatin1String("Los Angeles (Asia Optimized)") ? tr("L.A.(Asia Opt.)") : city;
}

void TrayIcon::updateTooltip()
{
    QString text = tr("%1 - %2").arg(displayName(), m_stateText);
    if (!m_failureText.isEmpty())
        text += QLatin1Char('\n') + m_failureText;
    if (m_stateText == CONNECTED_STATE) {
        text += tr("\n%1 - %2")
                    .arg(CountryCode::findByIsoCode(m_currentServerSite.getCountryCode()).getIso3Code(), shownCity());
        text += tr("\nSent: %1").arg(m_sentText);
        text += tr("\nRcvd: %1").arg(m_receivedText);
        text += tr("\nLocal IP: %1").arg(m_localIp);
        text += tr("\nRemote IP: %1").arg(m_remoteIp);
    }
    m_trayIcon->setToolTip(text);
}

void TrayIcon::onQuitApplication()
{
    if (m_stateTracker.isVPNRunning()) {
        if (Settings().stillActiveWarningEnable() && !QuitConfirmation::ask(nullptr))
            return;
        if (m_stopsOnQuit)
            stopAndWait();
    }
    emit exitApplication();
}

void TrayIcon::sendStopVPNToBackend()
{
    endRunOrStart();
}

// ---- private ----

void TrayIcon::setLook(const QString &image, bool connectable)
{
    m_trayIcon->setIcon(QIcon(image));
    m_connectAction->setEnabled(connectable);
    m_disconnectAction->setEnabled(!connectable);
    m_serverMenu->setEnabled(connectable);
}

void TrayIcon::endRunOrStart()
{
    // A start-up still in its pipeline is aborted, as the window's Cancel
    // does; a started run is stopped.
    if (m_startUpRunning)
        m_backend.abort();
    else
        m_backend.stopVPN();
}

void TrayIcon::stopAndWait()
{
    m_endReported = false;
    QEventLoop loop;
    QTimer bound;
    bound.setSingleShot(true);
    connect(&bound, &QTimer::timeout, &loop, &QEventLoop::quit);
    m_stopWait = &loop;
    endRunOrStart();
    if (!m_endReported) {
        bound.start(m_stopWaitMs);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    m_stopWait = nullptr;
    // Crash recovery restores what the run left on the next start.
    if (!m_endReported)
        qCWarning(lcGui) << "TrayIcon - the connection did not report its end within" << m_stopWaitMs << "ms; going on";
}

void TrayIcon::runEnded()
{
    m_endReported = true;
    if (m_stopWait)
        m_stopWait->quit();
}
