#pragma once

#include "core/NullHandler.h"

// The termination handler the system layer holds before the backend
// initialises: it follows the engine's life but does nothing with it.
class AbstractSigTermHandler : public NullHandler
{
public:
    void onOpenVpnStarted(QProcess &) override {}
    void onOpenVpnFailedToStart() override {}
    void onOpenVpnTerminated() override {}
};
