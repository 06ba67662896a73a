#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <cerrno>
#include <cstring>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

// Moves the test process into network and mount namespaces of its own, so that
// every change a test makes stays inside them and vanishes with the process,
// even when the test fails or crashes. Children started afterwards live there
// too. The network namespace also carries a name ('ip netns identify'), in a
// private /run/netns that no one outside sees, since the platform stand-ins
// accept only a named namespace when PID 1's is hidden from them.
class NetnsSandbox
{
public:
    // Empty when the sandbox is up, else why it could not be made.
    static QString enter()
    {
        if (geteuid() != 0)
            return QStringLiteral("needs root to create a network namespace");
        if (unshare(CLONE_NEWNET | CLONE_NEWNS) != 0)
            return failure("unshare(CLONE_NEWNET | CLONE_NEWNS)");
        if (mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            return failure("making the mounts private");
        const QString runDir = QStringLiteral("/run/netns");
        if (!QDir().mkpath(runDir) || mount("tmpfs", "/run/netns", "tmpfs", 0, "size=64k") != 0)
            return failure("mounting a private /run/netns");
        const QString name = runDir + QStringLiteral("/orvaltest-%1").arg(getpid());
        QFile marker(name);
        if (!marker.open(QIODevice::WriteOnly))
            return QStringLiteral("cannot create ") + name;
        marker.close();
        if (mount("/proc/self/ns/net", qPrintable(name), nullptr, MS_BIND, nullptr) != 0)
            return failure("naming the network namespace");
        return QString();
    }

    // Runs `ip` with the arguments; true on exit code 0.
    static bool ip(const QString &arguments)
    {
        QProcess process;
        process.start(QStringLiteral("ip"), arguments.split(' ', Qt::SkipEmptyParts));
        return process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit
               && process.exitCode() == 0;
    }

private:
    static QString failure(const char *what)
    {
        return QString::fromLatin1(what) + QStringLiteral(" failed: ") + QString::fromLocal8Bit(strerror(errno));
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
