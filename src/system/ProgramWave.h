#pragma once

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

// Runs one program once per argument list, all at the same time, and waits for
// all: every run is started before any is waited for. Each run has its own
// output logger and its own limits (the start limit counts from its start, the
// finish limit from when its start was seen). The runs are then awaited in
// order, so a run's output lines reach the log together. No threads: the
// waits are the processes' own.
class ProgramWave
{
public:
    struct Limits
    {
        int startSeconds = 30;
        int finishSeconds = 60;
    };

    enum class Status { Finished, NotStarted, NotFinished };

    struct Run
    {
        Status status = Status::NotStarted;
        int exitCode = 0;
        QProcess::ExitStatus exitStatus = QProcess::NormalExit;
        // Kept only when the wave retains output.
        QByteArray standardOutput;
        QByteArray standardError;
    };

    // `logName` names the program in the output lines ("Stelvane" === ...).
    ProgramWave(const QString &program, const QString &logName, const Limits &limits);

    // Called for every run's process before it starts (to attach what writes its input).
    void setPrepare(std::function<void(QProcess &)> prepare);
    // Called when run `index` missed a limit, before it is killed: the caller's own log line.
    void setOverLimit(std::function<void(int index, Status status)> overLimit);
    // Closes each run's input once its pending input is written.
    void setCloseInput(bool close);
    void setRetainOutput(bool retain);

    QList<Run> run(const QList<QStringList> &argumentLists) const;

private:
    struct Slot;

    // Starts every run, each with its own logger and start limit.
    std::vector<Slot> startAll(const QList<QStringList> &argumentLists) const;
    // Waits for each start, then flushes and closes its input, so that every
    // run reads its input before any is awaited.
    QList<Run> awaitStarts(std::vector<Slot> &pending) const;
    // Waits for each started run's end within its finish limit, in order.
    void awaitFinishes(std::vector<Slot> &pending, QList<Run> &runs) const;

    QString m_program;
    QString m_logName;
    Limits m_limits;
    std::function<void(QProcess &)> m_prepare;
    std::function<void(int, Status)> m_overLimit;
    bool m_closeInput = false;
    bool m_retainOutput = true;
};
