#include "system/LsUtil.h"

#include "system/LsUtilException.h"
#include "system/ProcessOutputLogger.h"
#include "system/SystemLogging.h"
#include "system/SystemPrograms.h"

#include <QDebug>
#include <QFileInfo>
#include <QProcess>

LsUtil::LsUtil()
    : LsUtil({QStringLiteral("/sbin/ls"), QStringLiteral("/bin/ls")})
{
}

LsUtil::LsUtil(const QStringList &candidates, int timeoutSeconds)
    : m_options(SystemPrograms::lsOptions())
    , m_timeoutSeconds(timeoutSeconds)
{
    for (const QString &candidate : candidates) {
        if (QFileInfo::exists(candidate)) {
            m_lsProgram = candidate;
            return;
        }
    }
    QStringList directories;
    for (const QString &candidate : candidates)
        directories << QFileInfo(candidate).path();
    throw LsUtilException(QStringLiteral("program \"ls\" not found in %1").arg(directories.join(" nor in ")));
}

QStringList LsUtil::arguments(const QString &path) const
{
    return m_options + QStringList {path};
}

void LsUtil::applyLsToPath(const QString &path)
{
    qCDebug(lcSystem).noquote() << "Applying ls to path:" << path;
    const QStringList args = arguments(path);
    const QString joined = args.join(' ');
    QProcess process;
    const QSharedPointer<ProcessOutputLogger> logger =
        ProcessOutputLogger::logProcessOutput(QStringLiteral("LsUtil"), process);
    qCDebug(lcSystem).noquote() << "Starting" << m_lsProgram << joined;
    process.start(m_lsProgram, args, QIODevice::ReadWrite);
    if (!logger->waitForProcessStarted(m_timeoutSeconds)) {
        qCDebug(lcSystem).noquote()
            << QStringLiteral("LsUtil failed to start after %1 seconds, args: %2").arg(m_timeoutSeconds).arg(joined);
        process.kill();
    } else if (!logger->waitForProcessFinished(m_timeoutSeconds)) {
        qCDebug(lcSystem).noquote() << QStringLiteral(
                                           "LsUtil did not finish after %1 seconds, it will be killed, args: %2")
                                           .arg(m_timeoutSeconds)
                                           .arg(joined);
        process.kill();
        process.waitForFinished(1000);
    }
}
