#pragma once
#include "core/ConnectionFailure.h"

#include <QString>

// Pure readers of the engine's messages that tell why an attempt fails.
class OpenVpnFailureLog
{
public:
    // The failure a ">LOG:" message names, or a null one. `where` is what
    // the client tried, as where() gives it.
    static ConnectionFailure fromLogMessage(const QString &message, const QString &where);
    // The server's reason of ">PASSWORD:Verification Failed: 'Auth' ['reason']";
    // null when the line gives none (a plain refusal).
    static ConnectionFailure fromVerificationFailed(const QString &line);
    // "UDP 1194" from the remote the engine was answered with.
    static QString where(const QString &protocol, int port);
};
