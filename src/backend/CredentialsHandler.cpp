#include "backend/CredentialsHandler.h"

#include "core/ConnectionFailure.h"
#include "core/PasswordRequestMessage.h"
#include "core/VpnFrontend.h"
#include "openvpn/AbstractManagementSocket.h"
#include "prefs/Settings.h"
#include "websvc/CredentialsStore.h"

CredentialsHandler::CredentialsHandler(VpnFrontend &frontend, AbstractManagementSocket &managementSocket,
                                       QSharedPointer<ConnectionParameters> connectionParameters,
                                       const QString &username, const QString &password)
    : m_frontend(frontend)
    , m_managementSocket(managementSocket)
    , m_connectionParameters(connectionParameters)
    , m_username(username)
    , m_password(password)
{
}

void CredentialsHandler::onPassword(int failedVerifications)
{
    if (failedVerifications < 1 && answerAutomatically())
        return;
    if (failedVerifications > 0 && answerWithTheLastPair())
        return;
    m_frontend.vpnPasswordRequest(PasswordRequestMessage(m_connectionParameters, failedVerifications));
}

bool CredentialsHandler::answerAutomatically()
{
    // The handler answers by itself once per connection; the remembered pair
    // must not be replayed to an engine that asks again.
    if (m_spent)
        return false;
    Settings settings;
    if (settings.autoLoginOnConnect() && settings.remembersCredentials()) {
        m_username = settings.getUsername();
        m_password = settings.getPassword();
    }
    if (m_username.isEmpty() || m_password.isEmpty())
        return false;
    m_managementSocket.sendUsernamePassword(m_username, m_password);
    // The pair answers one request only.
    m_username = QString();
    m_password = QString();
    m_spent = true;
    return true;
}

void CredentialsHandler::onFailure(const ConnectionFailure &failure)
{
    m_refusedNotForCredentials =
        failure.cause() == QLatin1String(ConnectionFailure::AUTH_FAILURE) && !failure.isAboutCredentials();
}

bool CredentialsHandler::answerWithTheLastPair()
{
    // One refusal allows one answer: a plain refusal after it asks the user.
    if (!m_refusedNotForCredentials)
        return false;
    m_refusedNotForCredentials = false;
    const QString username = CredentialsStore::getUsername();
    const QString password = CredentialsStore::getPassword();
    if (username.isEmpty() || password.isEmpty())
        return false;
    m_managementSocket.sendUsernamePassword(username, password);
    return true;
}
