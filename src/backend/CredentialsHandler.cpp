#include "backend/CredentialsHandler.h"

#include "backend/PasswordRequestMessage.h"
#include "backend/VpnFrontend.h"
#include "openvpn/AbstractManagementSocket.h"
#include "prefs/Settings.h"

CredentialsHandler::CredentialsHandler(VpnFrontend& frontend, AbstractManagementSocket& managementSocket,
                                       QSharedPointer<ConnectionParameters> connectionParameters,
                                       const QString& username, const QString& password)
    : frontend(frontend)
    , managementSocket(managementSocket)
    , connectionParameters(connectionParameters)
    , username(username)
    , password(password)
{
}

void CredentialsHandler::onPassword(int failedVerifications)
{
    if (failedVerifications < 1 && answerAutomatically())
        return;
    frontend.vpnPasswordRequest(PasswordRequestMessage(connectionParameters, failedVerifications));
}

bool CredentialsHandler::answerAutomatically()
{
    // The handler answers by itself once per connection; the remembered pair
    // must not be replayed to an engine that asks again.
    if (spent)
        return false;
    Settings settings;
    if (settings.autoLoginOnConnect() && settings.remembersCredentials()) {
        username = settings.getUsername();
        password = settings.getPassword();
    }
    if (username.isEmpty() || password.isEmpty())
        return false;
    managementSocket.sendUsernamePassword(username, password);
    // The pair answers one request only.
    username = QString();
    password = QString();
    spent = true;
    return true;
}
