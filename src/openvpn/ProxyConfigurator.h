#pragma once

#include "core/NullHandler.h"

// Gives the engine the user's own HTTP or SOCKS5 proxy from the preferences.
class ProxyConfigurator : public NullHandler
{
public:
    ~ProxyConfigurator() override;

    void onOpenVpnPrepareArguments(AbstractVpnCommand &command) override;
};
