#include "backend/ErrorMessage.h"

#include "backend/ConnectionParameters.h"

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

ErrorMessage ErrorMessage::GetVpnFatalErrorMessage(QSharedPointer<ConnectionParameters> parameters,
                                                   const QString& message)
{
    const QString connectionInfo = parameters ? parameters->getConnectionInfo() : QString();
    return ErrorMessage(std::move(parameters), true, message, connectionInfo);
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
