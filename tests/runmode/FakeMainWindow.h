#pragma once

#include "core/NullVpnFrontend.h"

#include <QCloseEvent>
#include <QMainWindow>
#include <QStringList>

// A main window as the run mode sees it: its three signals, emitted the way
// the real window emits them. Closing with close-to-tray off and Quit detach
// the window first, then ask to exit; closing to the tray and minimising to
// it only detach. It writes down the show, toggle and settings-saved calls
// it hears.
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
    // Its preferences dialog was saved.
    void saveSettings() { emit settingsSaved(); }

    void vpnTerminated(VpnTerminationReport) override { heard << "terminated"; }
    void showFrontend() override { heard << "show"; }
    void hideFrontend() override { heard << "hide"; }
    void toggleVisibility() override { heard << "toggle"; }

public slots:
    void onSettingsSaved() { heard << "settings saved"; }

signals:
    void exitApplication(QWidget *window);
    void detachFrontend(VpnFrontend *window);
    void settingsSaved();

protected:
    void closeEvent(QCloseEvent *event) override
    {
        event->ignore();
        emit detachFrontend(this);
        if (!closeToTray)
            emit exitApplication(this);
    }
};
