#pragma once

#include <QProcess>
#include <QStringList>
#include <sched.h>
#include <unistd.h>

// Moves the test process into a network namespace of its own, so that every
// change a test makes stays inside it and vanishes with the process, even
// when the test fails. Children started afterwards live there too.
class NetnsSandbox
{
public:
    // Empty when the sandbox is up, else why it could not be made.
    static QString enter()
    {
        if (geteuid() != 0)
            return QStringLiteral("needs root to create a network namespace");
        if (unshare(CLONE_NEWNET) != 0)
            return QStringLiteral("unshare(CLONE_NEWNET) failed: ") + QString::fromLocal8Bit(strerror(errno));
        return QString();
    }

    // Runs `ip` with the arguments; true on exit code 0.
    static bool ip(const QString& arguments)
    {
        QProcess process;
        process.start(QStringLiteral("ip"), arguments.split(' ', Qt::SkipEmptyParts));
        return process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit
            && process.exitCode() == 0;
    }
};

// Skips the whole test program (exit code 77) with a reason.
#define NETNS_SANDBOX_OR_SKIP()                                                                                        \
    do {                                                                                                               \
        const QString why = NetnsSandbox::enter();                                                                     \
        if (!why.isEmpty()) {                                                                                          \
            qWarning("SKIP: %s", qPrintable(why));                                                                     \
            ::exit(77);                                                                                                \
        }                                                                                                              \
    } while (0)
