#pragma once

#include "app/AbstractRunnable.h"
#include "app/SimpleProtocolMessageHandlerFactory.h"
#include "app/VpnBackendLocalSocketServer.h"
#include "core/CleanUpSystemLayer.h"

#include <QSharedPointer>

#include <functional>

// The "--cleanup" run: restores what a run that did not shut down cleanly
// left behind (DNS, routes, black holes, disabled services, the server name).
class CleanUpRunnable : public AbstractRunnable
{
public:
    using SystemLayerMaker = std::function<QSharedPointer<CleanUpSystemLayer>()>;

    // The system layer is built only when the run starts, and lives for the run.
    explicit CleanUpRunnable(SystemLayerMaker makeSystemLayer = defaultSystemLayer);

    int run() override;

    static QSharedPointer<CleanUpSystemLayer> defaultSystemLayer();

private:
    SimpleProtocolMessageHandlerFactory m_factory;
    VpnBackendLocalSocketServer m_server;
    SystemLayerMaker m_makeSystemLayer;
};
