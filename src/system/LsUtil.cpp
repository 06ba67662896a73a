#include "system/LsUtil.h"

#include "system/LsUtilException.h"
#include "system/SystemLogging.h"
#include "system/SystemPrograms.h"

#include <QDebug>
#include <QFileInfo>

LsUtil::LsUtil(QObject *parent)
    : LsUtil({QStringLiteral("/sbin/ls"), QStringLiteral("/bin/ls")}, 30, parent)
{
}

LsUtil::LsUtil(const QStringList &candidates, int timeoutSeconds, QObject *parent)
    : QObject(parent)
    , m_options(SystemPrograms::lsOptions())
    , m_run(QStringLiteral("LsUtil"), timeoutSeconds)
{
    for (const QString &candidate : candidates) {
        if (QFileInfo::exists(candidate)) {
            m_lsProgram = candidate;
            break;
        }
    }
    if (m_lsProgram.isEmpty()) {
        QStringList directories;
        for (const QString &candidate : candidates)
            directories << QFileInfo(candidate).path();
        throw LsUtilException(QStringLiteral("program \"ls\" not found in %1").arg(directories.join(" nor in ")));
    }
    connect(&m_run, &TimedProcessRun::notStarted, this, [this, timeoutSeconds] {
        qCDebug(lcSystem).noquote() << QStringLiteral("LsUtil failed to start after %1 seconds, args: %2")
                                           .arg(timeoutSeconds)
                                           .arg(m_joinedArguments);
    });
    connect(&m_run, &TimedProcessRun::notFinished, this, [this, timeoutSeconds] {
        qCDebug(lcSystem).noquote() << QStringLiteral(
                                           "LsUtil did not finish after %1 seconds, it will be killed, args: %2")
                                           .arg(timeoutSeconds)
                                           .arg(m_joinedArguments);
    });
    connect(&m_run, &TimedProcessRun::ended, this, &LsUtil::finished);
}

QStringList LsUtil::arguments(const QString &path) const
{
    return m_options + QStringList {path};
}

void LsUtil::applyLsToPath(const QString &path)
{
    qCDebug(lcSystem).noquote() << "Applying ls to path:" << path;
    const QStringList args = arguments(path);
    m_joinedArguments = args.join(' ');
    qCDebug(lcSystem).noquote() << "Starting" << m_lsProgram << m_joinedArguments;
    m_run.start(m_lsProgram, args);
}
