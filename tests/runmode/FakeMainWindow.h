#pragma once

#include "core/NullVpnFrontend.h"

#include <QCloseEvent>
#include <QMainWindow>
#include <QStringList>

// A main window as the run mode sees it: its four signals, emitted the way
// the real window emits them. Closing with close-to-tray off and Quit detach
// the window first, then ask to exit; closing to the tray and minimising to
// it only detach. It writes down the show and toggle calls it hears.
class FakeMainWindow : public QMainWindow, public NullVpnFrontend
{
    Q_OBJECT

public:
    bool closeToTray = false;
    QStringList heard;

    // File > Quit.
    void emitExitApplication()
    {
        emit detachFrontend(this);
        emit exitApplication(this);
    }
    void minimiseToTray() { emit detachFrontend(this); }
    void switchTrayOff() { emit detachTrayIcon(); }

    void vpnTerminated(VpnTerminationReport) override { heard << "terminated"; }
    void showFrontend() override { heard << "show"; }
    void hideFrontend() override { heard << "hide"; }
    void toggleVisibility() override { heard << "toggle"; }

signals:
    void exitApplication(QWidget *window);
    void detachFrontend(VpnFrontend *window);
    void attachTrayIcon();
    void detachTrayIcon();

protected:
    void closeEvent(QCloseEvent *event) override
    {
        event->ignore();
        emit detachFrontend(this);
        if (!closeToTray)
            emit exitApplication(this);
    }
};
