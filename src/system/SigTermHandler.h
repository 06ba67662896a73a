#pragma once

#include "core/AbstractSigTermHandler.h"

#include <QString>
#include <QStringList>

#include <csignal>

// On SIGINT, SIGTERM, SIGABRT or SIGQUIT the normal shutdown cannot run, so
// the engine is killed outright and the process replaces itself with a
// "--cleanup" run of its own executable, which restores DNS, routes and the
// kill-switch services.
//
// The signal function only uses async-signal-safe calls: everything it needs
// (the program path, the argument vector, its log lines) is prepared when the
// handler is constructed, and the engine's process id is a sig_atomic_t.
class SigTermHandler : public AbstractSigTermHandler
{
public:
    // Installs the signal function for the four signals, preparing the exec
    // of `cleanUpProgram` (default: the running executable).
    explicit SigTermHandler(const QString &cleanUpProgram = QString());

    void onOpenVpnStarted(QProcess &process) override;
    void onOpenVpnFailedToStart() override;
    void onOpenVpnTerminated() override;

    // The arguments the clean-up run is exec'd with: the program's file name
    // alone as argument zero, then "--cleanup".
    static QStringList cleanUpArguments(const QString &program);

    // The engine's process id, 0 while no engine runs.
    static long engineProcessId();

    static void gracefullyExit(int signal);

private:
    static volatile std::sig_atomic_t processID;
};
