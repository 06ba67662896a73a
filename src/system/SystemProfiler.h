#pragma once

#include <QString>
#include <QStringList>

// Writes system_profiler's report of some data types to the debug log.
class SystemProfiler
{
public:
    enum DetailLevel { Mini = 0, Basic = 1, Full = 2 };

    // The system's system_profiler, 30 seconds to start and 30 to finish.
    SystemProfiler(int detailLevel, const QStringList &dataTypes);
    SystemProfiler(int detailLevel, const QStringList &dataTypes, const QString &program, int timeoutSeconds);
    virtual ~SystemProfiler();

    // Throws SystemProfilerFailed.
    void execute();

    QStringList arguments() const;
    // "mini", "basic" or "full"; anything unknown is "mini".
    static QString levelWord(int detailLevel);

private:
    int m_detailLevel;
    QStringList m_dataTypes;
    QString m_program;
    int m_timeoutSeconds;
};
