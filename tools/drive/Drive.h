#pragma once

#include "DriveOptions.h"
#include "PrintingFrontend.h"
#include "StdinLines.h"
#include "UpdateCheckWait.h"

#include "app/BackendServices.h"
#include "system/InternetKillSwitchManager.h"
#include "system/MacOSXAbstractionImpl.h"

#include <QObject>
#include <QSharedPointer>
#include <QTimer>

class EventLog;
class HalvorixServerSite;
class Settings;

// Plays the part of the GUI run mode for tests, demos and benchmarks: holds
// the backend's services as the run mode does, initialises the backend, waits
// for the configuration check, starts one connection (with the site's default
// cipher offer for the chosen transport, through GuiVpnStartup) and then
// follows the commands read from standard input.
class Drive : public QObject
{
    Q_OBJECT

public:
    enum ExitCode { Normal = 0, BadArguments = 2, NoCatalogue = 3, SiteNotFound = 4 };

    Drive(const EventLog &log, const DriveOptions &options);
    ~Drive() override;

    // Initialises the backend; the rest happens in the event loop, which ends
    // with one of the exit codes.
    void start();

private:
    void onUpdateCheckSettled();
    void connectTo(const HalvorixServerSite &site);
    QSharedPointer<ConnectionParameters> connectionParameters(Settings &settings, const HalvorixServerSite &site) const;
    void execute(const QString &line);
    void onRunEnded();
    void onConnectTimeout();
    void quit();
    void finish(int exitCode, const QString &error = QString());

    const EventLog &m_log;
    const DriveOptions m_options;
    MacOSXAbstractionImpl m_os;
    BackendServices m_services;
    VpnBackendMain &m_backend;
    // As in the run mode: on exit it brings back the services the kill
    // switch took down, when the preferences ask for that on close.
    InternetKillSwitchManager m_killSwitchManager;
    QSharedPointer<PrintingFrontend> m_frontend;
    UpdateCheckWait m_updateCheck;
    StdinLines m_commands;
    QTimer m_quitBound;
    QTimer m_connectTimeout;
    bool m_running = false;
    bool m_connected = false;
    bool m_quitting = false;
};
