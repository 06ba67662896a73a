#include "StageLog.h"

#include "EventLog.h"

StageLog::StageLog(const EventLog &log)
    : log(log)
{
}

void StageLog::onOpenVpnStarted(QProcess &)
{
    log.print(QStringLiteral("engine started"));
}

void StageLog::onHold(Hold &)
{
    log.print(QStringLiteral("hold"));
}

void StageLog::onRemote(Remote &)
{
    log.print(QStringLiteral("remote"));
}

void StageLog::onUp(const PushedOptions &)
{
    log.print(QStringLiteral("up"));
}
