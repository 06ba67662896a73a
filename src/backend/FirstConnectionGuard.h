#pragma once
#include "core/ConnectionFailure.h"

#include <QtGlobal>

// When to give up a first connection that cannot succeed: once the same
// failure ended three attempts in a row, or 60 s after the start without
// CONNECTED. Time the user spends on a password request does not count, nor
// do refused credentials (the user is asked for others). A connection that
// was connected once is never given up: an outage must recover by itself.
// Pure logic: the caller passes the time, in milliseconds of any steady clock.
class FirstConnectionGuard
{
public:
    static constexpr int REPEATS = 3;
    static constexpr qint64 TIME_LIMIT_MS = 60 * 1000;

    void start(qint64 now);
    // Whether the connection must be given up after this attempt's failure.
    bool attemptFailed(const ConnectionFailure &failure, qint64 now);
    bool isTimeUp(qint64 now) const;
    // Until the time is up; 0 once it is, and while paused the time left then.
    qint64 remainingMs(qint64 now) const;
    void pause(qint64 now);
    void resume(qint64 now);
    void connected();
    // Started and never connected: the rules apply.
    bool isWatching() const { return m_started && !m_connected; }
    bool isPaused() const { return m_pausedAt >= 0; }

private:
    qint64 elapsed(qint64 now) const;

    bool m_started = false;
    bool m_connected = false;
    qint64 m_startedAt = 0;
    qint64 m_pausedAt = -1;
    qint64 m_pausedTotal = 0;
    ConnectionFailure m_last;
    int m_repeats = 0;
};
