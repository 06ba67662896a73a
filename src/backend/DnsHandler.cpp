#include "backend/DnsHandler.h"

#include "backend/DnsStages.h"
#include "openvpn/AbstractVpnCommand.h"
#include "openvpn/PushedOptions.h"
#include "prefs/DnsPreferenceAction.h"
#include "prefs/Settings.h"
#include "system/DnsStack.h"
#include "system/OsAbstraction.h"
#include "system/OutsideDnsBlokerAbstract.h"

#include <QDebug>

DnsHandler::DnsHandler(OsAbstraction& os, DnsStack& dnsStack, bool blockOutsideDns)
    : os(os)
    , dnsStack(dnsStack)
    , blockOutsideDns(blockOutsideDns)
{
}

DnsHandler::~DnsHandler() = default;

void DnsHandler::onOpenVpnPrepareArguments(AbstractVpnCommand& command)
{
    engineProgram = command.getProgram();
    Settings settings;
    dnsStack.push(DnsStack::beforeConnect, DnsStages::getOnConnectDns(settings));
    command.enableManagementUpDown();
}

void DnsHandler::onUp(const PushedOptions& options)
{
    Settings settings;
    if (settings.getDnsPreferenceActionAfterConnect().getPreference() != DnsPreferenceAction::PUSHED) {
        dnsStack.push(DnsStack::afterConnect, DnsStages::getAfterConnectDns(settings));
        return;
    }
    const QStringList pushed = DnsStages::validNameServers(options.getDnsServers());
    if (!pushed.isEmpty())
        dnsStack.push(DnsStack::afterConnect, pushed);
}

void DnsHandler::onDown(const PushedOptions&)
{
    dnsStack.popTo(DnsStack::afterConnect);
}

void DnsHandler::onOpenVpnFailedToStart()
{
    end();
}

void DnsHandler::onOpenVpnTerminated()
{
    end();
}

void DnsHandler::onState(const OpenVpnGenericState& state)
{
    dispatch(state);
}

void DnsHandler::on(const OpenVpnStateConnected&)
{
    if (!blockOutsideDns || outsideDnsBlocker)
        return;
    qDebug() << "Blocking outside DNS";
    outsideDnsBlocker.reset(os.createOutsideDnsBlocker(engineProgram));
}

void DnsHandler::on(const OpenVpnStateReconnecting&)
{
    unblock();
}

void DnsHandler::end()
{
    dnsStack.popTo(DnsStack::beforeConnect);
    unblock();
}

void DnsHandler::unblock()
{
    if (!blockOutsideDns)
        return;
    qDebug() << "Unblocking outside DNS";
    outsideDnsBlocker.reset();
}
