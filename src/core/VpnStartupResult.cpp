#include "core/VpnStartupResult.h"

VpnStartupResult::VpnStartupResult(QSharedPointer<ConnectionParameters> parameters, ResultType type,
                                   const QString &message, unsigned char flags)
    : EventMessage(std::move(parameters))
    , m_type(type)
    , m_message(message)
    , m_flags(flags)
{
}

VpnStartupResult::ResultType VpnStartupResult::getType() const
{
    return m_type;
}

QString VpnStartupResult::getMessage() const
{
    return m_message;
}

bool VpnStartupResult::isRoutingTableManagerProgramCheckFailed() const
{
    return m_flags & ROUTING_TABLE_MANAGER_PROGRAM_CHECK_FAILED;
}

bool VpnStartupResult::isIksSettingsAsk() const
{
    return m_flags & IKS_SETTINGS_ASK;
}

bool VpnStartupResult::isTunTapProblemDetected() const
{
    return m_flags & TUNTAP_PROBLEM_DETECTED;
}
