#include "websvc/HalvorixAPIClientHandler.h"

#include "websvc/CredentialsStore.h"
#include "websvc/HalvorixAPIClient.h"

HalvorixAPIClientHandler::HalvorixAPIClientHandler(HalvorixAPIClient *client)
    : m_client(client)
{
}

HalvorixAPIClientHandler::~HalvorixAPIClientHandler()
{
    CredentialsStore::clearUsernamePassword();
}

void HalvorixAPIClientHandler::onOpenVpnFailedToStart()
{
    CredentialsStore::clearUsernamePassword();
}

void HalvorixAPIClientHandler::onOpenVpnTerminated()
{
    CredentialsStore::clearUsernamePassword();
}

void HalvorixAPIClientHandler::onState(const OpenVpnGenericState &state)
{
    dispatch(state);
}

void HalvorixAPIClientHandler::on(const OpenVpnStateConnected &)
{
    // The client takes its own copy of the credentials before they go.
    m_client->makeRequest();
    CredentialsStore::clearUsernamePassword();
}
