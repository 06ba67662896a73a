#include "gui/FrontendLifecycle.h"

#include "app/DaemonVpnFrontend.h"
#include "backend/VpnBackend.h"
#include "backend/VpnFrontendDispatcher.h"
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
    : dispatcher(dispatcher)
    , backend(backend)
    , logOnlyFrontend(logOnlyFrontend)
    , makeTrayIcon(std::move(makeTrayIcon))
    , makeMainWindow(std::move(makeMainWindow))
    , exitRequest(&QCoreApplication::exit)
{
    quitBound.setSingleShot(true);
    quitBound.setInterval(DEFAULT_QUIT_BOUND_MS);
    connect(&quitBound, &QTimer::timeout, this, [this] {
        qWarning() << "FrontendLifecycle - the connection did not report its end within" << quitBound.interval()
                   << "ms; quitting anyway";
        finish();
    });
    connect(&logOnlyFrontend, &DaemonVpnFrontend::runEnded, this, [this] {
        if (state == State::Quitting)
            finish();
    });
}

void FrontendLifecycle::createStartupFrontends(bool trayIconEnabled, bool startMinimized)
{
    if (trayIconEnabled)
        createNewTrayIcon();
    // Minimised to nothing, the user could never reach the application.
    if (!startMinimized || !dispatcher.containsFrontendOfType<TrayIcon>())
        createNewMainWindow();
}

void FrontendLifecycle::createNewTrayIcon()
{
    if (dispatcher.containsFrontendOfType<TrayIcon>())
        return;
    const QSharedPointer<TrayIcon> tray = makeTrayIcon();
    connect(tray.data(), &TrayIcon::exitApplication, this, &FrontendLifecycle::onExitApplication);
    connect(tray.data(), &TrayIcon::createNewMainWindow, this, &FrontendLifecycle::createNewMainWindow);
    connect(tray.data(), &TrayIcon::showMainWindow, this, &FrontendLifecycle::showMainWindow);
    connect(tray.data(), &TrayIcon::toggleMainWindowVisibility, this, &FrontendLifecycle::toggleMainWindowVisibility);
    dispatcher.add(tray);
}

void FrontendLifecycle::createNewMainWindow()
{
    const QSharedPointer<VpnFrontend> window = makeMainWindow();
    auto *object = dynamic_cast<QObject *>(window.data());
    Q_ASSERT(object);
    // By name: the factory's window type is not known here.
    connect(object, SIGNAL(exitApplication(QWidget *)), this, SLOT(onAskAndExitApplication(QWidget *)));
    connect(object, SIGNAL(detachFrontend(VpnFrontend *)), this, SLOT(detachFrontend(VpnFrontend *)));
    connect(object, SIGNAL(attachTrayIcon()), this, SLOT(createNewTrayIcon()));
    connect(object, SIGNAL(detachTrayIcon()), this, SLOT(detachTrayIcon()));
    windows.append(window.data());
    dispatcher.add(window);
}

void FrontendLifecycle::onAskAndExitApplication(QWidget *parent)
{
    if (state != State::Running)
        return;
    const auto asking = std::find_if(windows.cbegin(), windows.cend(), [parent](VpnFrontend *window) {
        return dynamic_cast<QWidget *>(window) == parent;
    });
    VpnFrontend *const askingWindow = asking == windows.cend() ? nullptr : *asking;
    const bool otherWindowStays = std::any_of(windows.cbegin(), windows.cend(), [&](VpnFrontend *window) {
        return window != askingWindow && !pendingDetaches.contains(window);
    });
    // Another window goes on; the asking one's own detach takes effect.
    if (otherWindowStays)
        return;
    pendingDetaches.removeAll(askingWindow);
    if (logOnlyFrontend.isActive() && Settings().stillActiveWarningEnable() && !QuitConfirmation::ask(parent))
        return;
    if (parent)
        parent->hide();
    quit();
}

void FrontendLifecycle::onExitApplication()
{
    if (state == State::Running)
        quit();
}

void FrontendLifecycle::showMainWindow()
{
    if (windows.isEmpty())
        createNewMainWindow();
    else
        dispatcher.showFrontend();
}

void FrontendLifecycle::toggleMainWindowVisibility()
{
    if (windows.isEmpty())
        createNewMainWindow();
    else
        dispatcher.toggleVisibility();
}

void FrontendLifecycle::detachFrontend(VpnFrontend *frontend)
{
    if (pendingDetaches.contains(frontend))
        return;
    if (pendingDetaches.isEmpty())
        QTimer::singleShot(0, this, &FrontendLifecycle::applyPendingDetaches);
    pendingDetaches.append(frontend);
}

void FrontendLifecycle::detachTrayIcon()
{
    dispatcher.detachAllFrontendsOfType<TrayIcon>();
    quitWhenNoFrontendIsVisible();
}

bool FrontendLifecycle::eventFilter(QObject *watched, QEvent *event)
{
    // Nothing the user does may start anything while the run ends.
    if (state != State::Running && isUserInput(event->type()))
        return true;
    return QObject::eventFilter(watched, event);
}

void FrontendLifecycle::applyPendingDetaches()
{
    const QList<VpnFrontend *> detaching = pendingDetaches;
    pendingDetaches.clear();
    // A quit in progress drops every frontend once the run has ended.
    if (state != State::Running)
        return;
    for (VpnFrontend *frontend : detaching) {
        windows.removeAll(frontend);
        dispatcher.remove(frontend);
    }
    quitWhenNoFrontendIsVisible();
}

void FrontendLifecycle::quitWhenNoFrontendIsVisible()
{
    // Frontends without a face (the log-only one, a test's observer) keep nothing running.
    if (state == State::Running && windows.isEmpty() && !dispatcher.containsFrontendOfType<TrayIcon>())
        quit();
}

void FrontendLifecycle::quit()
{
    state = State::Quitting;
    if (!logOnlyFrontend.isActive()) {
        finish();
        return;
    }
    qApp->installEventFilter(this);
    quitBound.start();
    if (logOnlyFrontend.isStarting())
        backend.abort();
    else
        backend.stopVPN();
}

void FrontendLifecycle::finish()
{
    state = State::Finished;
    quitBound.stop();
    qApp->removeEventFilter(this);
    pendingDetaches.clear();
    windows.clear();
    dispatcher.removeAll();
    exitRequest(0);
}
