#include "system/SystemProfiler.h"

#include "system/SystemLogging.h"
#include "system/SystemProfilerFailed.h"
#include "system/SystemPrograms.h"

#include <QDebug>

SystemProfiler::SystemProfiler(int detailLevel, const QStringList &dataTypes, QObject *parent)
    : SystemProfiler(detailLevel, dataTypes, SystemPrograms::systemProfiler(), 30, parent)
{
}

SystemProfiler::SystemProfiler(int detailLevel, const QStringList &dataTypes, const QString &program,
                               int timeoutSeconds, QObject *parent)
    : QObject(parent)
    , m_detailLevel(detailLevel)
    , m_dataTypes(dataTypes)
    , m_program(program)
    , m_run(QStringLiteral("system_profiler"), timeoutSeconds)
{
    connect(&m_run, &TimedProcessRun::started, &m_run, &TimedProcessRun::closeInput);
    connect(&m_run, &TimedProcessRun::notStarted, this,
            [timeoutSeconds] {
                qCDebug(lcSystem).noquote()
                    << QStringLiteral("systemprofiler failed to start after %1 seconds").arg(timeoutSeconds);
            });
    connect(&m_run, &TimedProcessRun::notFinished, this, [timeoutSeconds] {
        qCDebug(lcSystem).noquote()
            << QStringLiteral("systemprofiler did not finish after %1 seconds, it will be killed").arg(timeoutSeconds);
    });
    connect(&m_run, &TimedProcessRun::ended, this, &SystemProfiler::onEnded);
}

SystemProfiler::~SystemProfiler() = default;

QString SystemProfiler::levelWord(int detailLevel)
{
    switch (detailLevel) {
    case Basic: return QStringLiteral("basic");
    case Full: return QStringLiteral("full");
    default: return QStringLiteral("mini");
    }
}

QStringList SystemProfiler::arguments() const
{
    return QStringList {QStringLiteral("-detailLevel"), levelWord(m_detailLevel)} + m_dataTypes;
}

void SystemProfiler::execute()
{
    const QStringList args = arguments();
    qCDebug(lcSystem).noquote() << "Starting system_profiler" << args.join(' ');
    m_run.start(m_program, args);
}

void SystemProfiler::onEnded(TimedProcessRun::Outcome outcome)
{
    if (outcome != TimedProcessRun::Finished) {
        const SystemProfilerFailed failure(outcome == TimedProcessRun::NotStarted
                                               ? QStringLiteral("The program systemprofiler failed to start.")
                                               : QStringLiteral("The program systemprofiler failed to finish."),
                                           QStringLiteral("Please check that systemprofiler utility is correctly "
                                                          "installed in your system."));
        qCDebug(lcSystem).noquote() << "SystemProfiler failed - Error: " + failure.title()
                                           + " - Info: " + failure.text();
    }
    emit finished();
}
