#pragma once
#include "core/EventMessage.h"

#include <QString>

// An error for the user: a headline and a detail line, fatal or not.
class ErrorMessage : public EventMessage
{
public:
    ErrorMessage(QSharedPointer<ConnectionParameters> parameters, bool fatal, const QString &message,
                 const QString &informativeText);

    static ErrorMessage GetErrorMessage(QSharedPointer<ConnectionParameters> parameters, const QString &message,
                                        const QString &informativeText);
    // Fatal; the detail line is the description of the connection it concerns.
    static ErrorMessage GetVpnFatalErrorMessage(QSharedPointer<ConnectionParameters> parameters, const QString &message,
                                                const QString &connectionInfo);

    bool isVpnFatal() const;
    QString getMessage() const;
    QString getInformativeText() const;

private:
    bool m_fatal;
    QString m_message;
    QString m_informativeText;
};
