#pragma once
#include "core/EventMessage.h"

// The end of a connection. The with* operations make changed copies, each a
// new event with its own identifier.
class VpnTerminationReport : public EventMessage
{
public:
    explicit VpnTerminationReport(QSharedPointer<ConnectionParameters> parameters);
    VpnTerminationReport(QSharedPointer<ConnectionParameters> parameters, bool failedToStart, bool passwordRequest);

    bool getFailedToStartFlag() const;
    bool getPasswordRequestFlag() const;

    VpnTerminationReport withFailedToStartFlag() const;
    VpnTerminationReport withPasswordRequestFlag() const;

private:
    bool m_failedToStart;
    bool m_passwordRequest;
};
