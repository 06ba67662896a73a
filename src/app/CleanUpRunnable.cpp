#include "app/CleanUpRunnable.h"

#include "app/AppLogging.h"
#include "app/MacOSXCleanUpSystemLayer.h"
#include "prefs/Settings.h"

#include <QDebug>

CleanUpRunnable::CleanUpRunnable(SystemLayerMaker makeSystemLayer)
    : m_server(m_factory)
    , m_makeSystemLayer(std::move(makeSystemLayer))
{
}

QSharedPointer<CleanUpSystemLayer> CleanUpRunnable::defaultSystemLayer()
{
    return QSharedPointer<MacOSXCleanUpSystemLayer>::create();
}

int CleanUpRunnable::run()
{
    const QSharedPointer<CleanUpSystemLayer> system = m_makeSystemLayer();
    qCDebug(lcApp) << "VpnBackend Command Line: execute option --cleanup";
    Settings::removeLockLeftByThisProcess();
    const QStringList dnsStages = Settings().getDnsStackNames();
    if (!dnsStages.isEmpty()) {
        qCDebug(lcApp) << "Recover DNS state.";
        system->recoverDnsStack(dnsStages);
    }
    m_server.cleanUpPreviousInstance();
    system->removeRoutesToDns();
    system->cleanUpBlackHoleRoutes();
    if (Settings().shouldRemoveInternetKillSwitchOnClose())
        system->enableKillSwitchInterfaces();
    return 0;
}
