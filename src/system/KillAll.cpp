#include "system/KillAll.h"

#include "system/SystemLogging.h"

#include <QDebug>
#include <QProcess>

KillAll::KillAll(const QStringList &names)
    : m_names(names)
{
}

void KillAll::execute()
{
    killProcesses(m_names);
}

void KillAll::killProcesses(QStringList names)
{
    while (!names.isEmpty())
        killProcess(names.takeFirst());
}

QStringList KillAll::arguments(const QString &name)
{
    return {QStringLiteral("-9"), name};
}

void KillAll::killProcess(const QString &name)
{
    // Deletes itself once killall has ended or failed; nobody waits for it.
    auto *process = new QProcess();
    QObject::connect(process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), process,
                     &QObject::deleteLater);
    QObject::connect(process, &QProcess::errorOccurred, process, &QObject::deleteLater);
    const QString program = QStringLiteral("killall");
    const QStringList args = arguments(name);
    qCDebug(lcSystem) << "Terminating program:" << program << args;
    process->start(program, args, QIODevice::ReadWrite);
}

bool KillAll::verifyKillAllExistsOnLinux()
{
    return true;
}
