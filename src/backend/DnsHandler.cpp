#include "backend/DnsHandler.h"

#include "backend/BackendLogging.h"
#include "openvpn/AbstractVpnCommand.h"
#include "openvpn/PushedOptions.h"
#include "prefs/DnsPreferenceAction.h"
#include "prefs/Settings.h"
#include "system/DnsStack.h"
#include "system/DnsStages.h"
#include "system/OsAbstraction.h"
#include "system/OutsideDnsBlokerAbstract.h"

#include <QDebug>

DnsHandler::DnsHandler(OsAbstraction &os, DnsStack &dnsStack, bool blockOutsideDns)
    : m_os(os)
    , m_dnsStack(dnsStack)
    , m_blockOutsideDns(blockOutsideDns)
{
}

DnsHandler::~DnsHandler() = default;

void DnsHandler::onOpenVpnPrepareArguments(AbstractVpnCommand &command)
{
    m_engineProgram = command.getProgram();
    Settings settings;
    m_dnsStack.push(DnsStack::beforeConnect, DnsStages::getOnConnectDns(settings));
    command.enableManagementUpDown();
}

void DnsHandler::onUp(const PushedOptions &options)
{
    Settings settings;
    if (settings.getDnsPreferenceActionAfterConnect().getPreference() != DnsPreferenceAction::PUSHED) {
        m_dnsStack.push(DnsStack::afterConnect, DnsStages::getAfterConnectDns(settings));
        return;
    }
    const QStringList pushed = DnsStages::validNameServers(options.getDnsServers());
    if (!pushed.isEmpty())
        m_dnsStack.push(DnsStack::afterConnect, pushed);
}

void DnsHandler::onDown(const PushedOptions &)
{
    m_dnsStack.popTo(DnsStack::afterConnect);
}

void DnsHandler::onOpenVpnFailedToStart()
{
    end();
}

void DnsHandler::onOpenVpnTerminated()
{
    end();
}

void DnsHandler::onState(const OpenVpnGenericState &state)
{
    dispatch(state);
}

void DnsHandler::on(const OpenVpnStateConnected &)
{
    if (!m_blockOutsideDns || m_outsideDnsBlocker)
        return;
    qCDebug(lcBackend) << "Blocking outside DNS";
    m_outsideDnsBlocker.reset(m_os.createOutsideDnsBlocker(m_engineProgram));
}

void DnsHandler::on(const OpenVpnStateReconnecting &)
{
    unblock();
}

void DnsHandler::end()
{
    m_dnsStack.popTo(DnsStack::beforeConnect);
    unblock();
}

void DnsHandler::unblock()
{
    if (!m_blockOutsideDns)
        return;
    qCDebug(lcBackend) << "Unblocking outside DNS";
    m_outsideDnsBlocker.reset();
}
