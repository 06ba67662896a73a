#include "backend/FirstConnectionGuard.h"

void FirstConnectionGuard::start(qint64 now)
{
    *this = FirstConnectionGuard();
    m_started = true;
    m_startedAt = now;
}

bool FirstConnectionGuard::attemptFailed(const ConnectionFailure &failure, qint64 now)
{
    if (!isWatching())
        return false;
    if (!failure.isAboutCredentials()) {
        m_repeats = failure == m_last ? m_repeats + 1 : 1;
        m_last = failure;
    }
    return m_repeats >= REPEATS || isTimeUp(now);
}

bool FirstConnectionGuard::isTimeUp(qint64 now) const
{
    return isWatching() && elapsed(now) >= TIME_LIMIT_MS;
}

qint64 FirstConnectionGuard::remainingMs(qint64 now) const
{
    return qMax<qint64>(0, TIME_LIMIT_MS - elapsed(now));
}

void FirstConnectionGuard::pause(qint64 now)
{
    if (!isPaused())
        m_pausedAt = now;
}

void FirstConnectionGuard::resume(qint64 now)
{
    if (!isPaused())
        return;
    m_pausedTotal += now - m_pausedAt;
    m_pausedAt = -1;
}

void FirstConnectionGuard::connected()
{
    m_connected = true;
}

qint64 FirstConnectionGuard::elapsed(qint64 now) const
{
    const qint64 until = isPaused() ? m_pausedAt : now;
    return until - m_startedAt - m_pausedTotal;
}
