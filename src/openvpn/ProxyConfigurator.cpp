#include "openvpn/ProxyConfigurator.h"

#include "openvpn/AbstractVpnCommand.h"
#include "prefs/Settings.h"

ProxyConfigurator::~ProxyConfigurator() = default;

void ProxyConfigurator::onOpenVpnPrepareArguments(AbstractVpnCommand &command)
{
    const Settings settings;
    const QString address = settings.getProxyAddress();
    const QString port = settings.getProxyPort();
    if (settings.getProxyProtocol() == Settings::SOCKS5)
        command.setSocks5Proxy(address, port);
    else
        command.setHttpProxy(address, port);
}
