#include "backend/ErrorMessage.h"

ErrorMessage::ErrorMessage(QSharedPointer<ConnectionParameters> parameters, bool fatal, const QString& message,
                           const QString& informativeText)
    : EventMessage(std::move(parameters))
    , fatal(fatal)
    , message(message)
    , informativeText(informativeText)
{
}

ErrorMessage ErrorMessage::GetErrorMessage(QSharedPointer<ConnectionParameters> parameters, const QString& message,
                                           const QString& informativeText)
{
    return ErrorMessage(std::move(parameters), false, message, informativeText);
}

bool ErrorMessage::isVpnFatal() const
{
    return fatal;
}

QString ErrorMessage::getMessage() const
{
    return message;
}

QString ErrorMessage::getInformativeText() const
{
    return informativeText;
}
