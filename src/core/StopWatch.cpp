#include "core/StopWatch.h"

#include "core/FormatSecondToHHMMSS.h"

namespace {
const QDateTime STOPPED;
}

bool StopWatch::isStarted() const
{
    return m_startTime != STOPPED;
}

void StopWatch::start()
{
    if (!isStarted())
        m_startTime = QDateTime::currentDateTime();
}

void StopWatch::stop()
{
    if (!isStarted())
        return;
    m_accumulatedMs += elapsedSinceStarted();
    m_startTime = STOPPED;
}

void StopWatch::reset()
{
    stop();
    m_accumulatedMs = 0;
}

qint64 StopWatch::elapsedSinceStarted() const
{
    if (!isStarted())
        return 0;
    return QDateTime::currentDateTime().toMSecsSinceEpoch() - m_startTime.toMSecsSinceEpoch();
}

qint64 StopWatch::elapsed() const
{
    return m_accumulatedMs + elapsedSinceStarted();
}

QString StopWatch::format() const
{
    return FormatSecondToHHMMSS(elapsed()).toString();
}
