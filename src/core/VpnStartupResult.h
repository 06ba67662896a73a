#pragma once
#include "core/EventMessage.h"

#include <QString>

// The outcome of a start-up pipeline run. When the preliminary checks failed,
// the flags say which ones, so the frontend can ask the user and start again.
class VpnStartupResult : public EventMessage
{
public:
    enum ResultType : qint32 { ABORTED = 0, PRELIMINARY_CHECKS_FAILED = 1, STARTED = 2 };

    static const unsigned char ROUTING_TABLE_MANAGER_PROGRAM_CHECK_FAILED = 1;
    static const unsigned char IKS_SETTINGS_ASK = 2;
    static const unsigned char TUNTAP_PROBLEM_DETECTED = 4;

    VpnStartupResult(QSharedPointer<ConnectionParameters> parameters, ResultType type, const QString &message,
                     unsigned char flags);

    ResultType getType() const;
    QString getMessage() const;
    bool isRoutingTableManagerProgramCheckFailed() const;
    bool isIksSettingsAsk() const;
    bool isTunTapProblemDetected() const;

private:
    ResultType m_type;
    QString m_message;
    quint8 m_flags;
};
