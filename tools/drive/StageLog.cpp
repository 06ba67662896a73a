#include "StageLog.h"

#include "EventLog.h"

StageLog::StageLog(const EventLog &log)
    : m_log(log)
{
}

void StageLog::onOpenVpnStarted(QProcess &)
{
    m_log.print(QStringLiteral("engine started"));
}

void StageLog::onHold(Hold &)
{
    m_log.print(QStringLiteral("hold"));
}

void StageLog::onRemote(Remote &)
{
    m_log.print(QStringLiteral("remote"));
}

void StageLog::onUp(const PushedOptions &)
{
    m_log.print(QStringLiteral("up"));
}
