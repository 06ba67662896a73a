#pragma once

#include "backend/VpnStartupProgress.h"

#include <QSharedPointer>
#include <QString>

#include <functional>

class ConnectionParameters;
class OsAbstraction;
class VpnFrontend;

// The waiting stages of a start-up: each polls a condition of the system
// every pause, keeps the frontend informed and lets the user abort or skip.
// The flags are the start-up's own; they change only through the event
// processing each cycle runs. Every wait has a cycle limit, so a condition
// that never comes true cannot hold the start-up forever.
class StartupWaits
{
public:
    enum Outcome { CONDITION_MET, ABORTED, SKIPPED, TIMED_OUT };

    struct Wait
    {
        bool abortable;
        bool skippable;
        // After WARN_CYCLE pauses, tell the user once with title and text.
        bool warn;
        QString title;
        QString text;
        int maxCycles;
    };

    static constexpr unsigned long PAUSE_MS = 250;
    static constexpr int WARN_CYCLE = 120;            // 30 s at the usual pause
    static constexpr int DEFAULT_ROUTE_CYCLES = 240;  // 60 s at the usual pause

    StartupWaits(VpnFrontend& frontend, OsAbstraction& os, QSharedPointer<ConnectionParameters> parameters,
                 const bool& abortRequested, const bool& skipRequested, unsigned long pauseMs = PAUSE_MS);

    // Returns at once, without pause or message, when the condition holds.
    Outcome waitLoop(const std::function<bool()>& predicate, const Wait& wait, const VpnStartupProgress& progress) const;

    // Waits for a default route; false when the user aborted or none came.
    bool checkDefaultRoute() const;

private:
    void reportProgress(const QString& key, VpnStartupProgress::ProgressState state) const;

    VpnFrontend& frontend;
    OsAbstraction& os;
    QSharedPointer<ConnectionParameters> parameters;
    const bool& abortRequested;
    const bool& skipRequested;
    const unsigned long pauseMs;
};
