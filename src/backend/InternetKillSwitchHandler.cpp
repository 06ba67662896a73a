#include "backend/InternetKillSwitchHandler.h"

#include "backend/BackendLogging.h"
#include "openvpn/AbstractManagementSocket.h"
#include "openvpn/AbstractVpnCommand.h"
#include "prefs/Settings.h"
#include "system/OsAbstraction.h"

#include <QDebug>

InternetKillSwitchHandler::InternetKillSwitchHandler(OsAbstraction &os, AbstractManagementSocket &managementSocket)
    : m_os(os)
    , m_managementSocket(managementSocket)
{
    qCDebug(lcBackend)
        << "InternetKillSwitchHandler::InternetKillSwitchHandler(OsAbstraction &, AbstractManagementSocket &)";
}

void InternetKillSwitchHandler::onOpenVpnPrepareArguments(AbstractVpnCommand &command)
{
    command.enablePersistTun();
}

void InternetKillSwitchHandler::onOpenVpnTerminated()
{
    if (isArmed())
        m_os.disableKillSwitchInterfaces();
}

void InternetKillSwitchHandler::onState(const OpenVpnGenericState &state)
{
    dispatch(state);
}

void InternetKillSwitchHandler::on(const OpenVpnStateConnected &)
{
    m_notYetConnected = false;
}

void InternetKillSwitchHandler::on(const OpenVpnStateReconnecting &)
{
    if (!isArmed() || Settings().seamlessReconnect())
        return;
    m_os.disableKillSwitchInterfaces();
    m_managementSocket.sendSigTerm();
}

bool InternetKillSwitchHandler::isArmed() const
{
    return !(Settings().armKillswitchAfterFirstConnection() && m_notYetConnected);
}
