#include "core/PasswordRequestMessage.h"

PasswordRequestMessage::PasswordRequestMessage(QSharedPointer<ConnectionParameters> parameters, int passwordFailures)
    : EventMessage(std::move(parameters))
    , m_passwordFailures(passwordFailures)
{
}

int PasswordRequestMessage::getPasswordFailures() const
{
    return m_passwordFailures;
}
