#pragma once

#include <QByteArray>
#include <QObject>
#include <QProcess>
#include <QSharedPointer>
#include <QString>
#include <QStringList>

// Writes the output of a process that a runner waits on to the debug log, line
// by line as it arrives, and on request keeps a copy for the caller to parse.
class ProcessOutputLogger : public QObject
{
    Q_OBJECT

public:
    static QSharedPointer<ProcessOutputLogger> logProcessOutput(const QString &name, QProcess &process);
    static QSharedPointer<ProcessOutputLogger> logAndRetainProcessOutput(const QString &name, QProcess &process);

    ProcessOutputLogger(const QString &name, QProcess &process, bool retain);

    bool waitForProcessStarted(int seconds);
    // Also true when the process has ended already, never started or is still starting.
    bool waitForProcessFinished(int seconds);

    QByteArray getStdOutCopy() const;
    QByteArray getStdErrCopy() const;

    void printAndForgetLog();

    // The lines of `bytes`, each trimmed; empty lines kept.
    static QStringList splitLines(const QByteArray &bytes);

private slots:
    void readStdOut();
    void readStdErr();
    void finished(int exitCode, QProcess::ExitStatus exitStatus);
    void errorOccurred(QProcess::ProcessError error);
    void deleted();

private:
    void drain(QProcess::ProcessChannel channel);
    void logLines(const QByteArray &bytes, const char *stream) const;

    QString m_name;
    QProcess *m_process;
    QByteArray m_stdoutPending;
    QByteArray m_stderrPending;
    bool m_retain;
    QByteArray m_stdoutCopy;
    QByteArray m_stderrCopy;
};
