#include "gui/FrontendLifecycle.h"

#include "app/DaemonVpnFrontend.h"
#include "backend/VpnBackend.h"
#include "backend/VpnFrontendDispatcher.h"
#include "gui/GuiLogging.h"
#include "gui/QuitConfirmation.h"
#include "gui/TrayIcon.h"
#include "prefs/Settings.h"

#include <QCoreApplication>
#include <QDebug>
#include <QEvent>
#include <QWidget>

#include <algorithm>

namespace {

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd: return true;
    default: return false;
    }
}

} // namespace

FrontendLifecycle::FrontendLifecycle(VpnFrontendDispatcher &dispatcher, VpnBackend &backend,
                                     DaemonVpnFrontend &logOnlyFrontend, TrayIconFactory makeTrayIcon,
                                     MainWindowFactory makeMainWindow)
    : m_dispatcher(dispatcher)
    , m_backend(backend)
    , m_logOnlyFrontend(logOnlyFrontend)
    , makeTrayIcon(std::move(makeTrayIcon))
    , makeMainWindow(std::move(makeMainWindow))
    , m_exitRequest(&QCoreApplication::exit)
{
    m_quitBound.setSingleShot(true);
    m_quitBound.setInterval(DEFAULT_QUIT_BOUND_MS);
    connect(&m_quitBound, &QTimer::timeout, this, [this] {
        qCWarning(lcGui) << "FrontendLifecycle - the connection did not report its end within" << m_quitBound.interval()
                         << "ms; quitting anyway";
        finish();
    });
    connect(&logOnlyFrontend, &DaemonVpnFrontend::runEnded, this, [this] {
        if (m_state == State::Quitting)
            finish();
    });
}

void FrontendLifecycle::createStartupFrontends(bool trayIconEnabled, bool startMinimized)
{
    if (trayIconEnabled)
        createNewTrayIcon();
    // Minimised to nothing, the user could never reach the application.
    if (!startMinimized || !m_dispatcher.containsFrontendOfType<TrayIcon>())
        createNewMainWindow();
}

void FrontendLifecycle::createNewTrayIcon()
{
    if (m_dispatcher.containsFrontendOfType<TrayIcon>())
        return;
    const QSharedPointer<TrayIcon> tray = makeTrayIcon();
    // The tray's own wait would be a loop nested above a start-up's pauses.
    tray->leaveStopToApplication();
    connect(tray.data(), &TrayIcon::exitApplication, this, &FrontendLifecycle::onExitApplication);
    connect(tray.data(), &TrayIcon::createNewMainWindow, this, &FrontendLifecycle::createNewMainWindow);
    connect(tray.data(), &TrayIcon::showMainWindow, this, &FrontendLifecycle::showMainWindow);
    connect(tray.data(), &TrayIcon::toggleMainWindowVisibility, this, &FrontendLifecycle::toggleMainWindowVisibility);
    m_dispatcher.add(tray);
}

void FrontendLifecycle::createNewMainWindow()
{
    const QSharedPointer<VpnFrontend> window = makeMainWindow(*this);
    m_windows.append(window.data());
    m_dispatcher.add(window);
}

void FrontendLifecycle::onAskAndExitApplication(QWidget *parent)
{
    if (m_state != State::Running)
        return;
    const auto asking = std::find_if(m_windows.cbegin(), m_windows.cend(), [parent](VpnFrontend *window) {
        return dynamic_cast<QWidget *>(window) == parent;
    });
    VpnFrontend *const askingWindow = asking == m_windows.cend() ? nullptr : *asking;
    const bool otherWindowStays = std::any_of(m_windows.cbegin(), m_windows.cend(), [&](VpnFrontend *window) {
        return window != askingWindow && !m_pendingDetaches.contains(window);
    });
    // Another window goes on; the asking one's own detach takes effect.
    if (otherWindowStays)
        return;
    m_pendingDetaches.removeAll(askingWindow);
    if (m_logOnlyFrontend.isActive() && Settings().stillActiveWarningEnable() && !QuitConfirmation::ask(parent))
        return;
    if (parent)
        parent->hide();
    quit();
}

void FrontendLifecycle::onExitApplication()
{
    if (m_state == State::Running)
        quit();
}

void FrontendLifecycle::showMainWindow()
{
    if (m_windows.isEmpty())
        createNewMainWindow();
    else
        m_dispatcher.showFrontend();
}

void FrontendLifecycle::toggleMainWindowVisibility()
{
    if (m_windows.isEmpty())
        createNewMainWindow();
    else
        m_dispatcher.toggleVisibility();
}

void FrontendLifecycle::detachFrontend(VpnFrontend *frontend)
{
    if (m_pendingDetaches.contains(frontend))
        return;
    if (m_pendingDetaches.isEmpty())
        QTimer::singleShot(0, this, &FrontendLifecycle::applyPendingDetaches);
    m_pendingDetaches.append(frontend);
}

void FrontendLifecycle::detachTrayIcon()
{
    m_dispatcher.detachAllFrontendsOfType<TrayIcon>();
    quitWhenNoFrontendIsVisible();
}

void FrontendLifecycle::onSettingsSaved()
{
    if (Settings().trayIconEnabled())
        createNewTrayIcon();
    else
        detachTrayIcon();
    const QList<VpnFrontend *> windows = m_windows;
    // By name: the window's type is known only to its factory.
    for (VpnFrontend *window : windows)
        QMetaObject::invokeMethod(dynamic_cast<QObject *>(window), "onSettingsSaved");
}

bool FrontendLifecycle::eventFilter(QObject *watched, QEvent *event)
{
    // Nothing the user does may start anything while the run ends.
    if (m_state != State::Running && isUserInput(event->type()))
        return true;
    return QObject::eventFilter(watched, event);
}

void FrontendLifecycle::applyPendingDetaches()
{
    const QList<VpnFrontend *> detaching = m_pendingDetaches;
    m_pendingDetaches.clear();
    // A quit in progress drops every frontend once the run has ended.
    if (m_state != State::Running)
        return;
    for (VpnFrontend *frontend : detaching) {
        m_windows.removeAll(frontend);
        m_dispatcher.remove(frontend);
    }
    quitWhenNoFrontendIsVisible();
}

void FrontendLifecycle::quitWhenNoFrontendIsVisible()
{
    // Frontends without a face (the log-only one, a test's observer) keep nothing running.
    if (m_state == State::Running && m_windows.isEmpty() && !m_dispatcher.containsFrontendOfType<TrayIcon>())
        quit();
}

void FrontendLifecycle::quit()
{
    m_state = State::Quitting;
    if (!m_logOnlyFrontend.isActive()) {
        finish();
        return;
    }
    qApp->installEventFilter(this);
    m_quitBound.start();
    if (m_logOnlyFrontend.isStarting())
        m_backend.abort();
    else
        m_backend.stopVPN();
}

void FrontendLifecycle::finish()
{
    m_state = State::Finished;
    m_quitBound.stop();
    qApp->removeEventFilter(this);
    m_pendingDetaches.clear();
    m_windows.clear();
    m_dispatcher.removeAll();
    m_exitRequest(0);
}
