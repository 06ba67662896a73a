#pragma once

#include <QObject>
#include <QProcess>
#include <QSharedPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

class ProcessOutputLogger;

// One program run on the main thread without waiting for it: its output goes
// to the log line by line as it arrives, and it is killed when it has not
// started, or not ended, within the time limit. A run ends with exactly one
// ended() signal, after the program's last output and end have been logged.
class TimedProcessRun : public QObject
{
    Q_OBJECT

public:
    enum Outcome { Finished, NotStarted, NotFinished };

    TimedProcessRun(const QString &logName, int timeoutSeconds, QObject *parent = nullptr);
    ~TimedProcessRun() override;

    // Starts the program, opened for reading and writing.
    void start(const QString &program, const QStringList &arguments);
    void closeInput();

signals:
    // The program runs.
    void started();
    // Before the kill: it did not start (or failed to), or did not end, in time.
    void notStarted();
    void notFinished();
    void ended(TimedProcessRun::Outcome outcome);

private:
    void onTimeout();
    void onError(QProcess::ProcessError error);
    void kill(Outcome outcome);
    void end(Outcome outcome);

    int m_timeoutSeconds;
    // Declared before the logger, so that the logger goes first and logs no
    // "process destroyed" line of its own.
    QProcess m_process;
    QSharedPointer<ProcessOutputLogger> m_logger;
    QTimer m_timer;
    bool m_running = false;
    Outcome m_outcome = Finished;
};
