#pragma once

#include "core/NullHandler.h"
#include "core/OpenVpnStateNullHandler.h"

#include <QObject>

// Kills the user's listed applications when the tunnel drops, so that they
// do not go on talking outside it.
class AppKillSwitchHandler : public QObject, public NullHandler, public OpenVpnStateNullHandler
{
    Q_OBJECT

public:
    AppKillSwitchHandler();

    void onOpenVpnTerminated() override;
    void onState(const OpenVpnGenericState &state) override;

    void killall();

protected:
    void on(const OpenVpnStateConnected &) override;
    void on(const OpenVpnStateReconnecting &) override;

private:
    bool m_notYetConnected = true;
};
