#pragma once

#include <QList>
#include <QObject>
#include <QSharedPointer>
#include <QTimer>

#include <functional>

class DaemonVpnFrontend;
class QWidget;
class TrayIcon;
class VpnBackend;
class VpnFrontend;
class VpnFrontendDispatcher;

// Decides, for the GUI run, which frontends the backend's dispatcher holds
// and when the application ends. The run mode owns the services and hands
// them in; tests hand in fakes.
//
// Quitting while a connection runs or starts: the still-active question comes
// before anything is detached, and No leaves everything running and attached.
// Otherwise the connection is stopped (a start-up aborted) and the event loop
// goes on, without user input, until the log-only frontend hears the end of the
// run or the bound passes; only then are the frontends dropped and the end
// of the loop requested. The wait runs in the application's own loop, not a
// nested one: a start-up's pipeline waits in nested loops of its own, and
// its result could not arrive while a loop above them runs.
//
// A window detaches itself before it asks to quit (its close and its Quit
// emit detachFrontend, then exitApplication). So a detach takes effect one
// turn of the event loop later, and the quit request that follows it in the
// same turn cancels it.
class FrontendLifecycle : public QObject
{
    Q_OBJECT

public:
    using TrayIconFactory = std::function<QSharedPointer<TrayIcon>()>;
    // Makes a main window, a QMainWindow and a VpnFrontend, and connects its
    // signals to the lifecycle given: see mainWindowFactory().
    using MainWindowFactory = std::function<QSharedPointer<VpnFrontend>(FrontendLifecycle &)>;

    // The factory of windows of type Window, made by `make`, whose signals
    // exitApplication(QWidget*), detachFrontend(VpnFrontend*) and
    // settingsSaved() reach the lifecycle; it calls the window's slot
    // onSettingsSaved() when the stored preferences change.
    template<class Window>
    static MainWindowFactory mainWindowFactory(std::function<QSharedPointer<Window>()> make)
    {
        return [make](FrontendLifecycle &lifecycle) {
            const QSharedPointer<Window> window = make();
            lifecycle.connectMainWindow(window.data());
            return window;
        };
    }
    using ExitRequest = std::function<void(int)>;

    // As long as the backend driver waits; the clean-up run restores what
    // a connection that never reports its end leaves behind.
    static const int DEFAULT_QUIT_BOUND_MS = 30000;

    FrontendLifecycle(VpnFrontendDispatcher &dispatcher, VpnBackend &backend, DaemonVpnFrontend &logOnlyFrontend,
                      TrayIconFactory makeTrayIcon, MainWindowFactory makeMainWindow);

    void setQuitBoundMs(int milliseconds) { m_quitBound.setInterval(milliseconds); }
    // QCoreApplication::exit unless a test records the request.
    void setExitRequest(ExitRequest request) { m_exitRequest = std::move(request); }
    bool isQuitting() const { return m_state != State::Running; }

    // The frontends of the start: the tray icon when it is enabled, and a
    // main window unless the run starts minimised to an attached tray icon.
    void createStartupFrontends(bool trayIconEnabled, bool startMinimized);

public slots:
    // Attaches a tray icon unless one is attached.
    void createNewTrayIcon();
    void createNewMainWindow();
    void onAskAndExitApplication(QWidget *parent);
    void onExitApplication();
    void showMainWindow();
    void toggleMainWindowVisibility();
    void detachFrontend(VpnFrontend *frontend);
    void detachTrayIcon();
    // A window's preferences dialog changed the stored preferences: the tray
    // icon follows its preference, and every window shows them again.
    void onSettingsSaved();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class State { Running, Quitting, Finished };

    template<class Window>
    void connectMainWindow(Window *window)
    {
        connect(window, &Window::exitApplication, this, &FrontendLifecycle::onAskAndExitApplication);
        connect(window, &Window::detachFrontend, this, &FrontendLifecycle::detachFrontend);
        connect(window, &Window::settingsSaved, this, &FrontendLifecycle::onSettingsSaved);
    }

    void applyPendingDetaches();
    void quitWhenNoFrontendIsVisible();
    // Stops or aborts an active run and finishes once it has ended.
    void quit();
    void finish();

    VpnFrontendDispatcher &m_dispatcher;
    VpnBackend &m_backend;
    DaemonVpnFrontend &m_logOnlyFrontend;
    const TrayIconFactory makeTrayIcon;
    const MainWindowFactory makeMainWindow;
    ExitRequest m_exitRequest;
    // The attached main windows, in the order they were made.
    QList<VpnFrontend *> m_windows;
    QList<VpnFrontend *> m_pendingDetaches;
    QTimer m_quitBound;
    State m_state = State::Running;
};
