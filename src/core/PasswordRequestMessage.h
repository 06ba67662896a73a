#pragma once
#include "core/EventMessage.h"

// The engine asks for credentials; carries how many verifications failed so
// far in the current management connection (0 on the first request).
class PasswordRequestMessage : public EventMessage
{
public:
    PasswordRequestMessage(QSharedPointer<ConnectionParameters> parameters, int passwordFailures);

    int getPasswordFailures() const;

private:
    qint32 m_passwordFailures;
};
