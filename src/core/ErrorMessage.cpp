#include "core/ErrorMessage.h"

ErrorMessage::ErrorMessage(QSharedPointer<ConnectionParameters> parameters, bool fatal, const QString &message,
                           const QString &informativeText)
    : EventMessage(std::move(parameters))
    , m_fatal(fatal)
    , m_message(message)
    , m_informativeText(informativeText)
{
}

ErrorMessage ErrorMessage::GetErrorMessage(QSharedPointer<ConnectionParameters> parameters, const QString &message,
                                           const QString &informativeText)
{
    return ErrorMessage(std::move(parameters), false, message, informativeText);
}

ErrorMessage ErrorMessage::GetVpnFatalErrorMessage(QSharedPointer<ConnectionParameters> parameters,
                                                   const QString &message, const QString &connectionInfo)
{
    return ErrorMessage(std::move(parameters), true, message, connectionInfo);
}

bool ErrorMessage::isVpnFatal() const
{
    return m_fatal;
}

QString ErrorMessage::getMessage() const
{
    return m_message;
}

QString ErrorMessage::getInformativeText() const
{
    return m_informativeText;
}
