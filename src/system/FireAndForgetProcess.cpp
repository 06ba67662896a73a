#include "system/FireAndForgetProcess.h"

#include <QDebug>
#include <QMetaEnum>

namespace {

// How long the destructor waits for a program it has killed.
constexpr int KillWaitMs = 5000;

const char* errorName(QProcess::ProcessError error)
{
    return QMetaEnum::fromType<QProcess::ProcessError>().valueToKey(error);
}

} // namespace

void FireAndForgetProcess::execute(const QString& name, int timeoutSeconds, const QString& program,
                                   const Callback& callback)
{
    execute(name, timeoutSeconds, program, QStringList(), callback);
}

void FireAndForgetProcess::execute(const QString& name, int timeoutSeconds, const QString& program,
                                   const QStringList& arguments, const Callback& callback)
{
    // Owns itself: deleteLater once the program has ended, failed or been killed.
    (new FireAndForgetProcess(name, timeoutSeconds, program, arguments, callback))->execute();
}

FireAndForgetProcess::FireAndForgetProcess(const QString& name, int timeoutSeconds, const QString& program,
                                           const QStringList& arguments, const Callback& callback)
    : name(name), timeoutSeconds(timeoutSeconds), program(program), arguments(arguments), callback(callback)
{
    timer.setSingleShot(true);
    timer.setInterval(timeoutSeconds * 1000);
    connect(&timer, &QTimer::timeout, this, &FireAndForgetProcess::processTimedout);
    // The time limit counts from the moment the program runs.
    connect(&process, &QProcess::started, &timer, QOverload<>::of(&QTimer::start));
    connect(&process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            [this](int exitCode, QProcess::ExitStatus) { processFinished(exitCode); });
    connect(&process, &QProcess::errorOccurred, this, &FireAndForgetProcess::processError);
}

FireAndForgetProcess::~FireAndForgetProcess()
{
    if (process.state() == QProcess::Running) {
        // After the time-out handler the timer is idle and the program already
        // killed: no open-ended wait then, only the bounded one below.
        const int remaining = timer.isActive() ? timer.remainingTime() : 0;
        timer.stop();
        qDebug().noquote() << logPrefix() << "in destructor, but process still running, waiting for remainig milli seconds"
                           << remaining;
        if (!process.waitForFinished(remaining)) {
            qDebug().noquote() << logPrefix()
                               << "in destructor, process did not terminate within remainig timeout, killing silently...";
            killedByTimeout = true;
            process.kill();
            if (!process.waitForFinished(KillWaitMs))
                qDebug().noquote() << logPrefix() << "in destructor, process was killed but is still alive, proceeding...";
        }
    }
    qDebug().noquote() << logPrefix() << "was destructed.";
    // What the process emits while the member is destroyed must not reach this half-destroyed object.
    process.disconnect(this);
}

QString FireAndForgetProcess::logPrefix() const
{
    return QStringLiteral("FireAndForgetProcess \"%1\"").arg(name);
}

void FireAndForgetProcess::execute()
{
    qDebug().noquote() << logPrefix() << "executing:" << QStringLiteral("\"%1\"").arg(program) << arguments.join(' ');
    killedByTimeout = false;
    process.start(program, arguments, QIODevice::ReadWrite);
}

void FireAndForgetProcess::processTimedout()
{
    qDebug().noquote() << logPrefix() << "did not terminate on time, killing it....";
    killedByTimeout = true;
    process.kill();
    deleteLater();
    callback(QStringLiteral("%1 was killed,\nbecause it did not terminate within %2 seconds!").arg(name).arg(timeoutSeconds),
             QStringLiteral("Path: %1").arg(program));
}

void FireAndForgetProcess::processFinished(int exitCode)
{
    qDebug().noquote() << logPrefix() << "finished with exit code" << exitCode;
    timer.stop();
    deleteLater();
}

void FireAndForgetProcess::processError(QProcess::ProcessError error)
{
    if (killedByTimeout) {
        qDebug().noquote() << logPrefix() << "failed with error" << errorName(error)
                           << ", signal ignored because process was killed by timeout handler";
        return;
    }
    if (error != QProcess::FailedToStart && error != QProcess::Crashed) {
        qDebug().noquote() << logPrefix() << "failed with error" << errorName(error);
        return;
    }
    timer.stop();
    deleteLater();
    if (error == QProcess::Crashed) {
        qDebug().noquote() << logPrefix() << "crashed";
        callback(QStringLiteral("%1 has crashed.").arg(name), QStringLiteral("Path: %1").arg(program));
    } else {
        qDebug().noquote() << logPrefix() << "failed to start";
        callback(QStringLiteral("%1 failed to start.").arg(name), QStringLiteral("Path: %1").arg(program));
    }
}
