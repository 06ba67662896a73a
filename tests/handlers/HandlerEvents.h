#pragma once

#include "core/OpenVpnGenericState.h"
#include "core/OpenVpnLifeCycleHandler.h"

#include <QProcess>
#include <QString>
#include <QStringList>

// Drives a handler with events named in a test table:
//   "started", "failed", "terminated", "accepted", "fatal:<text>",
//   "password:<n>" or the name of an engine state ("CONNECTED", "BOGUS"...).
inline void sendEvent(OpenVpnLifeCycleHandler &handler, const QString &event)
{
    if (event == QLatin1String("started")) {
        QProcess process;
        handler.onOpenVpnStarted(process);
    } else if (event == QLatin1String("failed")) {
        handler.onOpenVpnFailedToStart();
    } else if (event == QLatin1String("terminated")) {
        handler.onOpenVpnTerminated();
    } else if (event == QLatin1String("accepted")) {
        handler.onConnectionAccepted();
    } else if (event.startsWith(QLatin1String("fatal:"))) {
        handler.onFatal(event.mid(6));
    } else if (event.startsWith(QLatin1String("password:"))) {
        handler.onPassword(event.mid(9).toInt());
    } else {
        handler.onState(OpenVpnGenericState::fromStateLine(event, QStringLiteral("cause"), QStringLiteral("10.8.0.2"),
                                                           QStringLiteral("198.51.100.7")));
    }
}

inline void sendEvents(OpenVpnLifeCycleHandler &handler, const QStringList &events)
{
    for (const QString &event : events)
        sendEvent(handler, event);
}
