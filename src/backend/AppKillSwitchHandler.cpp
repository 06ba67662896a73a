#include "backend/AppKillSwitchHandler.h"

#include "backend/BackendLogging.h"
#include "prefs/Settings.h"
#include "system/KillAll.h"

#include <QDebug>

AppKillSwitchHandler::AppKillSwitchHandler()
{
    qCDebug(lcBackend) << "AppKillSwitchHandler::AppKillSwitchHandler()";
}

void AppKillSwitchHandler::onOpenVpnTerminated()
{
    killall();
}

void AppKillSwitchHandler::onState(const OpenVpnGenericState &state)
{
    dispatch(state);
}

void AppKillSwitchHandler::on(const OpenVpnStateConnected &)
{
    m_notYetConnected = false;
}

void AppKillSwitchHandler::on(const OpenVpnStateReconnecting &)
{
    killall();
}

void AppKillSwitchHandler::killall()
{
    Settings settings;
    if (settings.armKillswitchAfterFirstConnection() && m_notYetConnected)
        return;
    KillAll(settings.processKillList()).execute();
}
