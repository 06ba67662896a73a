#include "backend/PasswordRequestMessage.h"

PasswordRequestMessage::PasswordRequestMessage(QSharedPointer<ConnectionParameters> parameters, int passwordFailures)
    : EventMessage(std::move(parameters))
    , passwordFailures(passwordFailures)
{
}

int PasswordRequestMessage::getPasswordFailures() const
{
    return passwordFailures;
}
