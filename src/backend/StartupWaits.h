#pragma once

#include "core/VpnStartupProgress.h"

#include <QEventLoop>
#include <QPointer>
#include <QSharedPointer>
#include <QString>

#include <functional>

class ConnectionParameters;
class OsAbstraction;
class Settings;
class VpnFrontend;

// The waiting stages of a start-up: each polls a condition of the system
// every pause, keeps the frontend informed and lets the user abort or skip.
// The flags are the start-up's own; they are set only through the event
// processing each cycle runs. A wait has no time limit: it ends only when its
// condition holds or when the user aborts or skips (the long-wait warning
// tells the user so), never behind the user's back.
class StartupWaits
{
public:
    enum Outcome { CONDITION_MET, ABORTED, SKIPPED };

    struct Wait
    {
        bool abortable;
        bool skippable;
        // After WARN_CYCLE pauses, tell the user once with title and text.
        bool warn;
        QString title;
        QString text;
    };

    static constexpr unsigned long PAUSE_MS = 250;
    static constexpr int WARN_CYCLE = 120; // 30 s at the usual pause

    StartupWaits(Settings &settings, VpnFrontend &frontend, OsAbstraction &os,
                 QSharedPointer<ConnectionParameters> parameters, const bool &abortRequested, bool &skipRequested,
                 unsigned long pauseMs = PAUSE_MS);

    // Returns at once, without pause or message, when the condition holds.
    Outcome waitLoop(const std::function<bool()> &predicate, const Wait &wait,
                     const VpnStartupProgress &progress) const;

    // Waits for a default route; false when the user aborted.
    bool checkDefaultRoute() const;
    // Brings up the services the kill switch left disabled; false when aborted.
    bool activateInternetKillSwitchDisabledInterfaces();
    // Takes them down again after an aborted start-up; only skipping ends it early.
    void disableInternetKillSwitchInterfaces();
    // Refreshes the DNS cache for the connection's host names; false when aborted.
    bool lookupHostnameBeforeConnecting();

    // Set by an activation, cleared when a disabling ends.
    bool areKillSwitchInterfacesActivated() const { return m_killSwitchInterfacesActivated; }

private:
    void reportProgress(const QString &key, VpnStartupProgress::ProgressState state) const;
    // One pause of a wait: events are handled as they come, and wakeUp()
    // ends it early when the awaited answer has arrived.
    void pause() const;
    void wakeUp() const;
    Outcome skippableWait(const std::function<bool()> &predicate, bool abortable, const QString &key,
                          const QString &title, const QString &text) const;

    Settings &m_settings;
    VpnFrontend &m_frontend;
    OsAbstraction &m_os;
    QSharedPointer<ConnectionParameters> m_parameters;
    const bool &m_abortRequested;
    bool &m_skipRequested;
    const unsigned long pauseMs;
    mutable QPointer<QEventLoop> m_currentPause;
    bool m_killSwitchInterfacesActivated = false;
};
