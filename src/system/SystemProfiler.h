#pragma once

#include "system/TimedProcessRun.h"

#include <QObject>
#include <QString>
#include <QStringList>

// Writes system_profiler's report of some data types to the debug log, on the
// main thread without waiting for it.
class SystemProfiler : public QObject
{
    Q_OBJECT

public:
    enum DetailLevel { Mini = 0, Basic = 1, Full = 2 };

    // The system's system_profiler, 30 seconds to start and 30 to finish.
    SystemProfiler(int detailLevel, const QStringList &dataTypes, QObject *parent = nullptr);
    SystemProfiler(int detailLevel, const QStringList &dataTypes, const QString &program, int timeoutSeconds,
                   QObject *parent = nullptr);
    ~SystemProfiler() override;

    // Starts the report; finished() follows its end, or the log line of its
    // failure (a program that does not start or end in time is killed).
    void execute();

    QStringList arguments() const;
    // "mini", "basic" or "full"; anything unknown is "mini".
    static QString levelWord(int detailLevel);

signals:
    void finished();

private:
    void onEnded(TimedProcessRun::Outcome outcome);

    int m_detailLevel;
    QStringList m_dataTypes;
    QString m_program;
    TimedProcessRun m_run;
};
