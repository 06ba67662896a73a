#include "system/SystemProfiler.h"

#include "system/ProcessOutputLogger.h"
#include "system/SystemLogging.h"
#include "system/SystemProfilerFailed.h"
#include "system/SystemPrograms.h"

#include <QDebug>
#include <QProcess>

SystemProfiler::SystemProfiler(int detailLevel, const QStringList &dataTypes)
    : SystemProfiler(detailLevel, dataTypes, SystemPrograms::systemProfiler(), 30)
{
}

SystemProfiler::SystemProfiler(int detailLevel, const QStringList &dataTypes, const QString &program,
                               int timeoutSeconds)
    : m_detailLevel(detailLevel)
    , m_dataTypes(dataTypes)
    , m_program(program)
    , m_timeoutSeconds(timeoutSeconds)
{
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
    QProcess process;
    const QSharedPointer<ProcessOutputLogger> logger =
        ProcessOutputLogger::logProcessOutput(QStringLiteral("system_profiler"), process);
    process.start(m_program, args, QIODevice::ReadWrite);

    const QString hint =
        QStringLiteral("Please check that systemprofiler utility is correctly installed in your system.");
    if (!logger->waitForProcessStarted(m_timeoutSeconds)) {
        qCDebug(lcSystem).noquote()
            << QStringLiteral("systemprofiler failed to start after %1 seconds").arg(m_timeoutSeconds);
        process.kill();
        throw SystemProfilerFailed(QStringLiteral("The program systemprofiler failed to start."), hint);
    }
    process.closeWriteChannel();
    if (!logger->waitForProcessFinished(m_timeoutSeconds)) {
        qCDebug(lcSystem).noquote() << QStringLiteral(
                                           "systemprofiler did not finish after %1 seconds, it will be killed")
                                           .arg(m_timeoutSeconds);
        process.kill();
        process.waitForFinished(1000);
        throw SystemProfilerFailed(QStringLiteral("The program systemprofiler failed to finish."), hint);
    }
}
