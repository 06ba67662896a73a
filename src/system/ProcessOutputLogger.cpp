#include "system/ProcessOutputLogger.h"

#include <QDebug>
#include <QMetaEnum>
#include <QTextStream>

namespace {

template <typename E> const char* enumName(E value)
{
    return QMetaEnum::fromType<E>().valueToKey(int(value));
}

} // namespace

QSharedPointer<ProcessOutputLogger> ProcessOutputLogger::logProcessOutput(const QString& name, QProcess& process)
{
    return QSharedPointer<ProcessOutputLogger>(new ProcessOutputLogger(name, process, false));
}

QSharedPointer<ProcessOutputLogger> ProcessOutputLogger::logAndRetainProcessOutput(const QString& name,
                                                                                   QProcess& process)
{
    return QSharedPointer<ProcessOutputLogger>(new ProcessOutputLogger(name, process, true));
}

ProcessOutputLogger::ProcessOutputLogger(const QString& name, QProcess& process, bool retain)
    : name(name), process(&process), retain(retain)
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
    return process->waitForStarted(seconds * 1000);
}

bool ProcessOutputLogger::waitForProcessFinished(int seconds)
{
    return process->waitForFinished(seconds * 1000) || process->state() != QProcess::Running;
}

QByteArray ProcessOutputLogger::getStdOutCopy() const
{
    if (!retain)
        qDebug() << "Warning, misconfiguration: stdout was not kept in memory - empty bytearray is returned";
    return stdoutCopy;
}

QByteArray ProcessOutputLogger::getStdErrCopy() const
{
    if (!retain)
        qDebug() << "Warning, misconfiguration: stderr was not kept in memory - empty bytearray is returned";
    return stderrCopy;
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
    QByteArray& pending = out ? stdoutPending : stderrPending;
    QByteArray& copy = out ? stdoutCopy : stderrCopy;
    for (;;) {
        const QByteArray chunk = out ? process->readAllStandardOutput() : process->readAllStandardError();
        if (chunk.isEmpty())
            return;
        pending += chunk;
        const int lastNewline = pending.lastIndexOf('\n');
        if (lastNewline < 0)
            continue;
        const QByteArray complete = pending.left(lastNewline + 1);
        if (retain)
            copy += complete;
        logLines(complete.left(lastNewline).trimmed(), out ? "stdout" : "stderr");
        pending = pending.mid(lastNewline + 1);
    }
}

QStringList ProcessOutputLogger::splitLines(const QByteArray& bytes)
{
    QStringList lines;
    QTextStream stream(bytes, QIODevice::ReadOnly);
    for (QString line = stream.readLine(); !line.isNull(); line = stream.readLine())
        lines << line.trimmed();
    return lines;
}

void ProcessOutputLogger::logLines(const QByteArray& bytes, const char* stream) const
{
    for (const QString& line : splitLines(bytes))
        qDebug() << name << "===" << QString::fromLatin1(stream) << "==>>" << line;
}

void ProcessOutputLogger::printAndForgetLog()
{
    stdoutPending += process->readAllStandardOutput();
    stderrPending += process->readAllStandardError();
    if (retain) {
        stdoutCopy += stdoutPending;
        stderrCopy += stderrPending;
    }
    logLines(stdoutPending, "stdout");
    logLines(stderrPending, "stderr");
    if (process->state() == QProcess::Running)
        qDebug() << name << "=== the process is still running ===";
    else if (process->state() == QProcess::Starting)
        qDebug() << name << "=== the process is still starting ===";
    stdoutPending.clear();
    stderrPending.clear();
}

void ProcessOutputLogger::finished(int exitCode, QProcess::ExitStatus exitStatus)
{
    printAndForgetLog();
    qDebug().nospace() << name << " === process finished with exit code: " << exitCode
                       << ", exit status: " << enumName(exitStatus) << " ===";
}

void ProcessOutputLogger::errorOccurred(QProcess::ProcessError error)
{
    qDebug().nospace() << name << " === an error occurred: " << enumName(error) << " ===";
    printAndForgetLog();
}

void ProcessOutputLogger::deleted()
{
    qDebug() << name << "=== process destroyed ===";
}
