#include "system/TimedProcessRun.h"

#include "system/ProcessOutputLogger.h"

namespace {
// How long a killed program is given to report its end.
constexpr int KillWaitMs = 1000;
} // namespace

TimedProcessRun::TimedProcessRun(const QString &logName, int timeoutSeconds, QObject *parent)
    : QObject(parent)
    , m_timeoutSeconds(timeoutSeconds)
    , m_logger(ProcessOutputLogger::logProcessOutput(logName, m_process))
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &TimedProcessRun::onTimeout);
    // After the logger's own connections: its lines come first, as when a caller waited.
    connect(&m_process, &QProcess::started, this, [this] {
        m_timer.start(m_timeoutSeconds * 1000);
        emit started();
    });
    connect(&m_process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            [this] { end(m_outcome); });
    connect(&m_process, &QProcess::errorOccurred, this, &TimedProcessRun::onError);
}

TimedProcessRun::~TimedProcessRun()
{
    m_process.disconnect(this);
}

void TimedProcessRun::start(const QString &program, const QStringList &arguments)
{
    m_running = true;
    m_outcome = Finished;
    m_timer.start(m_timeoutSeconds * 1000);
    m_process.start(program, arguments, QIODevice::ReadWrite);
}

void TimedProcessRun::closeInput()
{
    m_process.closeWriteChannel();
}

void TimedProcessRun::onTimeout()
{
    if (!m_running)
        return;
    if (m_outcome != Finished) {
        // The kill's end was not reported in time either.
        end(m_outcome);
        return;
    }
    kill(m_process.state() == QProcess::Running ? NotFinished : NotStarted);
}

void TimedProcessRun::onError(QProcess::ProcessError error)
{
    if (error == QProcess::FailedToStart && m_running && m_outcome == Finished)
        kill(NotStarted);
}

void TimedProcessRun::kill(Outcome outcome)
{
    m_outcome = outcome;
    if (outcome == NotStarted)
        emit notStarted();
    else
        emit notFinished();
    if (m_process.state() == QProcess::NotRunning) {
        end(outcome);
        return;
    }
    m_process.kill();
    m_timer.start(KillWaitMs);
}

void TimedProcessRun::end(Outcome outcome)
{
    if (!m_running)
        return;
    m_running = false;
    m_timer.stop();
    emit ended(outcome);
}
