#include "system/StelvaneSecurityCheck.h"

#include "helper/SharedKey.h"
#include "system/SystemLogging.h"

#include <QCryptographicHash>
#include <QDebug>
#include <QProcess>
#include <sys/time.h>

StelvaneSecurityCheck::StelvaneSecurityCheck(QProcess *process, const QByteArray &followingLines)
    : QObject(process)
    , m_process(process)
    , m_followingLines(followingLines)
{
    connect(process, &QProcess::started, this, &StelvaneSecurityCheck::sendSecurityCheckToProcess);
    connect(process, &QProcess::errorOccurred, this, &StelvaneSecurityCheck::detachProcess);
    connect(process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            &StelvaneSecurityCheck::detachProcess);
}

QByteArray StelvaneSecurityCheck::sharedKey()
{
    return QByteArray(reinterpret_cast<const char *>(stelvane::SHARED_KEY), int(stelvane::SHARED_KEY_SIZE));
}

qint64 StelvaneSecurityCheck::currentMilliseconds()
{
    timeval now {};
    gettimeofday(&now, nullptr);
    return qint64(now.tv_sec) * 1000 + now.tv_usec / 1000;
}

QByteArray StelvaneSecurityCheck::authenticationLines(qint64 milliseconds)
{
    const QByteArray timestamp = QByteArray::number(milliseconds);
    const QByteArray digest = QCryptographicHash::hash(timestamp + sharedKey(), QCryptographicHash::Sha256).toHex();
    return timestamp + '\n' + digest + '\n';
}

void StelvaneSecurityCheck::sendSecurityCheckToProcess()
{
    const QByteArray lines = authenticationLines(currentMilliseconds());
    const int firstLineLength = lines.indexOf('\n') + 1;
    if (m_process->write(lines.left(firstLineLength)) < 0 || m_process->write(lines.mid(firstLineLength)) < 0
        || (!m_followingLines.isEmpty() && m_process->write(m_followingLines) < 0))
        qCDebug(lcHelperRunner) << "Warning: could not write the data.";
    detachProcess();
}

void StelvaneSecurityCheck::detachProcess()
{
    disconnect(m_process, nullptr, this, nullptr);
    deleteLater();
}
