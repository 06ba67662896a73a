#pragma once

#include "core/NullHandler.h"

class EventLog;

// Prints the engine's stages as event lines, so that a benchmark can tell
// where a connect spends its time: "engine started" (the helper runs),
// "hold" and "remote" (the engine's management queries), "up" (the tunnel
// is configured).
class StageLog : public NullHandler
{
public:
    explicit StageLog(const EventLog &log);

    void onOpenVpnStarted(QProcess &process) override;
    void onHold(Hold &hold) override;
    void onRemote(Remote &remote) override;
    void onUp(const PushedOptions &options) override;

private:
    const EventLog &m_log;
};
