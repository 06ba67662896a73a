#include "system/FireAndForgetProcess.h"

#include "system/SystemLogging.h"

#include <QDebug>
#include <QMetaEnum>

namespace {

// How long the destructor waits for a program it has killed.
constexpr int KillWaitMs = 5000;

const char *errorName(QProcess::ProcessError error)
{
    return QMetaEnum::fromType<QProcess::ProcessError>().valueToKey(error);
}

} // namespace

void FireAndForgetProcess::execute(const QString &name, int timeoutSeconds, const QString &program,
                                   const Callback &callback)
{
    execute(name, timeoutSeconds, program, QStringList(), callback);
}

void FireAndForgetProcess::execute(const QString &name, int timeoutSeconds, const QString &program,
                                   const QStringList &arguments, const Callback &callback)
{
    // Owns itself: deleteLater once the program has ended, failed or been killed.
    (new FireAndForgetProcess(name, timeoutSeconds, program, arguments, callback))->execute();
}

FireAndForgetProcess::FireAndForgetProcess(const QString &name, int timeoutSeconds, const QString &program,
                                           const QStringList &arguments, const Callback &callback)
    : m_name(name)
    , m_timeoutSeconds(timeoutSeconds)
    , m_program(program)
    , m_arguments(arguments)
    , m_callback(callback)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(timeoutSeconds * 1000);
    connect(&m_timer, &QTimer::timeout, this, &FireAndForgetProcess::processTimedout);
    // The time limit counts from the moment the program runs.
    connect(&m_process, &QProcess::started, &m_timer, QOverload<>::of(&QTimer::start));
    connect(&m_process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            [this](int exitCode, QProcess::ExitStatus) { processFinished(exitCode); });
    connect(&m_process, &QProcess::errorOccurred, this, &FireAndForgetProcess::processError);
}

FireAndForgetProcess::~FireAndForgetProcess()
{
    if (m_process.state() == QProcess::Running) {
        // After the time-out handler the timer is idle and the program already
        // killed: no open-ended wait then, only the bounded one below.
        const int remaining = m_timer.isActive() ? m_timer.remainingTime() : 0;
        m_timer.stop();
        qCDebug(lcSystem).noquote() << logPrefix()
                                    << "in destructor, but process still running, waiting for remainig milli seconds"
                                    << remaining;
        if (!m_process.waitForFinished(remaining)) {
            qCDebug(lcSystem).noquote()
                << logPrefix()
                << "in destructor, process did not terminate within remainig timeout, killing silently...";
            m_killedByTimeout = true;
            m_process.kill();
            if (!m_process.waitForFinished(KillWaitMs))
                qCDebug(lcSystem).noquote()
                    << logPrefix() << "in destructor, process was killed but is still alive, proceeding...";
        }
    }
    qCDebug(lcSystem).noquote() << logPrefix() << "was destructed.";
    // What the process emits while the member is destroyed must not reach this half-destroyed object.
    m_process.disconnect(this);
}

QString FireAndForgetProcess::logPrefix() const
{
    return QStringLiteral("FireAndForgetProcess \"%1\"").arg(m_name);
}

void FireAndForgetProcess::execute()
{
    qCDebug(lcSystem).noquote() << logPrefix() << "executing:" << QStringLiteral("\"%1\"").arg(m_program)
                                << m_arguments.join(' ');
    m_killedByTimeout = false;
    m_process.start(m_program, m_arguments, QIODevice::ReadWrite);
}

void FireAndForgetProcess::processTimedout()
{
    qCDebug(lcSystem).noquote() << logPrefix() << "did not terminate on time, killing it....";
    m_killedByTimeout = true;
    m_process.kill();
    deleteLater();
    m_callback(QStringLiteral("%1 was killed,\nbecause it did not terminate within %2 seconds!")
                   .arg(m_name)
                   .arg(m_timeoutSeconds),
               QStringLiteral("Path: %1").arg(m_program));
}

void FireAndForgetProcess::processFinished(int exitCode)
{
    qCDebug(lcSystem).noquote() << logPrefix() << "finished with exit code" << exitCode;
    m_timer.stop();
    deleteLater();
}

void FireAndForgetProcess::processError(QProcess::ProcessError error)
{
    if (m_killedByTimeout) {
        qCDebug(lcSystem).noquote() << logPrefix() << "failed with error" << errorName(error)
                                    << ", signal ignored because process was killed by timeout handler";
        return;
    }
    if (error != QProcess::FailedToStart && error != QProcess::Crashed) {
        qCDebug(lcSystem).noquote() << logPrefix() << "failed with error" << errorName(error);
        return;
    }
    m_timer.stop();
    deleteLater();
    if (error == QProcess::Crashed) {
        qCDebug(lcSystem).noquote() << logPrefix() << "crashed";
        m_callback(QStringLiteral("%1 has crashed.").arg(m_name), QStringLiteral("Path: %1").arg(m_program));
    } else {
        qCDebug(lcSystem).noquote() << logPrefix() << "failed to start";
        m_callback(QStringLiteral("%1 failed to start.").arg(m_name), QStringLiteral("Path: %1").arg(m_program));
    }
}
