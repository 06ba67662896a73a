#pragma once

#include <QDateTime>
#include <QString>

// Accumulates wall-clock time over start/stop intervals.
class StopWatch
{
public:
    StopWatch() = default;

    bool isStarted() const;
    void start();
    void stop();
    void reset();
    qint64 elapsedSinceStarted() const;
    qint64 elapsed() const;
    QString format() const;

private:
    qint64 m_accumulatedMs = 0;
    QDateTime m_startTime; // null while stopped
};
