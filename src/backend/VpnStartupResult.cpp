#include "backend/VpnStartupResult.h"

VpnStartupResult::VpnStartupResult(QSharedPointer<ConnectionParameters> parameters, ResultType type,
                                   const QString& message, unsigned char flags)
    : EventMessage(std::move(parameters))
    , type(type)
    , message(message)
    , flags(flags)
{
}

VpnStartupResult::ResultType VpnStartupResult::getType() const
{
    return type;
}

QString VpnStartupResult::getMessage() const
{
    return message;
}

bool VpnStartupResult::isRoutingTableManagerProgramCheckFailed() const
{
    return flags & ROUTING_TABLE_MANAGER_PROGRAM_CHECK_FAILED;
}

bool VpnStartupResult::isIksSettingsAsk() const
{
    return flags & IKS_SETTINGS_ASK;
}

bool VpnStartupResult::isTunTapProblemDetected() const
{
    return flags & TUNTAP_PROBLEM_DETECTED;
}
