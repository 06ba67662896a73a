#include "system/ProgramWave.h"

#include "system/ProcessOutputLogger.h"

#include <QDeadlineTimer>
#include <QSharedPointer>
#include <memory>
#include <vector>

// Declared in this order so that the logger goes before its process, as in a
// single run.
struct ProgramWave::Slot
{
    std::unique_ptr<QProcess> process;
    QSharedPointer<ProcessOutputLogger> logger;
    QDeadlineTimer deadline;
    bool started = false;
};

namespace {

int remainingMs(const QDeadlineTimer &deadline)
{
    return int(qMax<qint64>(0, deadline.remainingTime()));
}

} // namespace

ProgramWave::ProgramWave(const QString &program, const QString &logName, const Limits &limits)
    : m_program(program)
    , m_logName(logName)
    , m_limits(limits)
{
}

void ProgramWave::setPrepare(std::function<void(QProcess &)> prepare)
{
    m_prepare = std::move(prepare);
}

void ProgramWave::setOverLimit(std::function<void(int, Status)> overLimit)
{
    m_overLimit = std::move(overLimit);
}

void ProgramWave::setCloseInput(bool close)
{
    m_closeInput = close;
}

void ProgramWave::setRetainOutput(bool retain)
{
    m_retainOutput = retain;
}

QList<ProgramWave::Run> ProgramWave::run(const QList<QStringList> &argumentLists) const
{
    std::vector<Slot> pending = startAll(argumentLists);
    QList<Run> runs = awaitStarts(pending);
    awaitFinishes(pending, runs);
    return runs;
}

std::vector<ProgramWave::Slot> ProgramWave::startAll(const QList<QStringList> &argumentLists) const
{
    std::vector<Slot> pending(size_t(argumentLists.size()));
    for (size_t i = 0; i < pending.size(); ++i) {
        Slot &slot = pending[i];
        slot.process = std::make_unique<QProcess>();
        slot.logger = m_retainOutput ? ProcessOutputLogger::logAndRetainProcessOutput(m_logName, *slot.process)
                                     : ProcessOutputLogger::logProcessOutput(m_logName, *slot.process);
        if (m_prepare)
            m_prepare(*slot.process);
        slot.deadline = QDeadlineTimer(qint64(m_limits.startSeconds) * 1000);
        slot.process->start(m_program, argumentLists.at(int(i)), QIODevice::ReadWrite);
    }
    return pending;
}

QList<ProgramWave::Run> ProgramWave::awaitStarts(std::vector<Slot> &pending) const
{
    QList<Run> runs;
    for (size_t i = 0; i < pending.size(); ++i) {
        Slot &slot = pending[i];
        runs << Run();
        slot.started = slot.process->waitForStarted(remainingMs(slot.deadline));
        if (!slot.started) {
            if (m_overLimit)
                m_overLimit(int(i), Status::NotStarted);
            slot.process->kill();
            continue;
        }
        slot.deadline = QDeadlineTimer(qint64(m_limits.finishSeconds) * 1000);
        // Input written on start waits in the process object until it is
        // flushed: without this a run would read it only when it is awaited,
        // after the runs before it.
        while (slot.process->bytesToWrite() > 0 && slot.process->waitForBytesWritten(remainingMs(slot.deadline))) {
        }
        if (m_closeInput)
            slot.process->closeWriteChannel();
    }
    return runs;
}

void ProgramWave::awaitFinishes(std::vector<Slot> &pending, QList<Run> &runs) const
{
    for (size_t i = 0; i < pending.size(); ++i) {
        Slot &slot = pending[i];
        if (!slot.started)
            continue;
        QProcess &process = *slot.process;
        if (!process.waitForFinished(remainingMs(slot.deadline)) && process.state() == QProcess::Running) {
            runs[int(i)].status = Status::NotFinished;
            if (m_overLimit)
                m_overLimit(int(i), Status::NotFinished);
            process.kill();
            process.waitForFinished(1000);
            continue;
        }
        Run &run = runs[int(i)];
        run.status = Status::Finished;
        run.exitCode = process.exitCode();
        run.exitStatus = process.exitStatus();
        if (m_retainOutput) {
            run.standardOutput = slot.logger->getStdOutCopy();
            run.standardError = slot.logger->getStdErrCopy();
        }
    }
}
