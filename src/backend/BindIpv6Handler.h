#pragma once
#include "core/NullHandler.h"

class OsAbstraction;

// Binds IPv6 away while the engine runs, when the leak prevention applies,
// and lets it go again when the engine has ended or could not start.
class BindIpv6Handler : public NullHandler
{
public:
    explicit BindIpv6Handler(OsAbstraction &os);

    void onOpenVpnPrepareArguments(AbstractVpnCommand &command) override;
    void onOpenVpnFailedToStart() override;
    void onOpenVpnTerminated() override;

private:
    OsAbstraction &m_os;
};
