#pragma once

#include "core/NullHandler.h"

#include <QObject>
#include <QSharedPointer>
#include <QString>

class AbstractManagementSocket;
class ConnectionParameters;
class VpnFrontend;

// Answers the engine's first request for user name and password by itself,
// with the pair given at connect time or the remembered one when automatic
// login is on; every later request goes to the user, but for the one after
// a server's refusal that is not about the credentials: other credentials
// would not help, so the engine gets the pair it last had again.
class CredentialsHandler : public QObject, public NullHandler
{
    Q_OBJECT

public:
    CredentialsHandler(VpnFrontend &frontend, AbstractManagementSocket &managementSocket,
                       QSharedPointer<ConnectionParameters> connectionParameters, const QString &username,
                       const QString &password);

    void onPassword(int failedVerifications) override;
    void onFailure(const ConnectionFailure &failure) override;

private:
    bool answerAutomatically();
    bool answerWithTheLastPair();

    VpnFrontend &m_frontend;
    AbstractManagementSocket &m_managementSocket;
    QSharedPointer<ConnectionParameters> m_connectionParameters;
    QString m_username;
    QString m_password;
    bool m_spent = false;
    bool m_refusedNotForCredentials = false;
};
