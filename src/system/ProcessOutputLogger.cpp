#include "system/ProcessOutputLogger.h"

#include "system/SystemLogging.h"

#include <QDebug>
#include <QMetaEnum>
#include <QTextStream>

namespace {

template<typename E>
const char *enumName(E value)
{
    return QMetaEnum::fromType<E>().valueToKey(int(value));
}

} // namespace

QSharedPointer<ProcessOutputLogger> ProcessOutputLogger::logProcessOutput(const QString &name, QProcess &process)
{
    return QSharedPointer<ProcessOutputLogger>(new ProcessOutputLogger(name, process, false));
}

QSharedPointer<ProcessOutputLogger> ProcessOutputLogger::logAndRetainProcessOutput(const QString &name,
                                                                                   QProcess &process)
{
    return QSharedPointer<ProcessOutputLogger>(new ProcessOutputLogger(name, process, true));
}

ProcessOutputLogger::ProcessOutputLogger(const QString &name, QProcess &process, bool retain)
    : m_name(name)
    , m_process(&process)
    , m_retain(retain)
{
    connect(&process, &QProcess::readyReadStandardOutput, this, &ProcessOutputLogger::readStdOut);
    connect(&process, &QProcess::readyReadStandardError, this, &ProcessOutputLogger::readStdErr);
    connect(&process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            &ProcessOutputLogger::finished);
    connect(&process, &QProcess::errorOccurred, this, &ProcessOutputLogger::errorOccurred);
    connect(&process, &QObject::destroyed, this, &ProcessOutputLogger::deleted);
}

bool ProcessOutputLogger::waitForProcessStarted(int seconds)
{
    return m_process->waitForStarted(seconds * 1000);
}

bool ProcessOutputLogger::waitForProcessFinished(int seconds)
{
    return m_process->waitForFinished(seconds * 1000) || m_process->state() != QProcess::Running;
}

QByteArray ProcessOutputLogger::getStdOutCopy() const
{
    if (!m_retain)
        qCDebug(lcSystem) << "Warning, misconfiguration: stdout was not kept in memory - empty bytearray is returned";
    return m_stdoutCopy;
}

QByteArray ProcessOutputLogger::getStdErrCopy() const
{
    if (!m_retain)
        qCDebug(lcSystem) << "Warning, misconfiguration: stderr was not kept in memory - empty bytearray is returned";
    return m_stderrCopy;
}

void ProcessOutputLogger::readStdOut()
{
    drain(QProcess::StandardOutput);
}

void ProcessOutputLogger::readStdErr()
{
    drain(QProcess::StandardError);
}

// Logs the complete lines that have arrived; a partial last line waits for more.
void ProcessOutputLogger::drain(QProcess::ProcessChannel channel)
{
    const bool out = channel == QProcess::StandardOutput;
    QByteArray &pending = out ? m_stdoutPending : m_stderrPending;
    QByteArray &copy = out ? m_stdoutCopy : m_stderrCopy;
    for (;;) {
        const QByteArray chunk = out ? m_process->readAllStandardOutput() : m_process->readAllStandardError();
        if (chunk.isEmpty())
            return;
        pending += chunk;
        const int lastNewline = pending.lastIndexOf('\n');
        if (lastNewline < 0)
            continue;
        const QByteArray complete = pending.left(lastNewline + 1);
        if (m_retain)
            copy += complete;
        logLines(complete.left(lastNewline).trimmed(), out ? "stdout" : "stderr");
        pending = pending.mid(lastNewline + 1);
    }
}

QStringList ProcessOutputLogger::splitLines(const QByteArray &bytes)
{
    QStringList lines;
    QTextStream stream(bytes, QIODevice::ReadOnly);
    for (QString line = stream.readLine(); !line.isNull(); line = stream.readLine())
        lines << line.trimmed();
    return lines;
}

void ProcessOutputLogger::logLines(const QByteArray &bytes, const char *stream) const
{
    for (const QString &line : splitLines(bytes))
        qCDebug(lcSystem) << m_name << "===" << QString::fromLatin1(stream) << "==>>" << line;
}

void ProcessOutputLogger::printAndForgetLog()
{
    m_stdoutPending += m_process->readAllStandardOutput();
    m_stderrPending += m_process->readAllStandardError();
    if (m_retain) {
        m_stdoutCopy += m_stdoutPending;
        m_stderrCopy += m_stderrPending;
    }
    logLines(m_stdoutPending, "stdout");
    logLines(m_stderrPending, "stderr");
    if (m_process->state() == QProcess::Running)
        qCDebug(lcSystem) << m_name << "=== the process is still running ===";
    else if (m_process->state() == QProcess::Starting)
        qCDebug(lcSystem) << m_name << "=== the process is still starting ===";
    m_stdoutPending.clear();
    m_stderrPending.clear();
}

void ProcessOutputLogger::finished(int exitCode, QProcess::ExitStatus exitStatus)
{
    printAndForgetLog();
    qCDebug(lcSystem).nospace() << m_name << " === process finished with exit code: " << exitCode
                                << ", exit status: " << enumName(exitStatus) << " ===";
}

void ProcessOutputLogger::errorOccurred(QProcess::ProcessError error)
{
    qCDebug(lcSystem).nospace() << m_name << " === an error occurred: " << enumName(error) << " ===";
    printAndForgetLog();
}

void ProcessOutputLogger::deleted()
{
    qCDebug(lcSystem) << m_name << "=== process destroyed ===";
}
