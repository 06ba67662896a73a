#include "gui/SettingsDialogLauncher.h"

#include "backend/BackendStateTracker.h"
#include "gui/settings/SettingsDialog.h"

namespace SettingsDialogLauncher {

bool run(QWidget *parent, const QList<StealthProxy> &stealthProxies, OsAbstraction &os, VpnBackend &backend,
         BackendStateTracker &stateTracker)
{
    // Automatic login is never offered from the running GUI.
    SettingsDialog dialog(parent, stealthProxies, os, backend, stateTracker.isNetworkGloballyProtected(), false,
                          stateTracker.isVPNRunning());
    bool saved = false;
    QObject::connect(&dialog, &SettingsDialog::settingsSaved, &dialog, [&saved] { saved = true; });
    dialog.exec();
    return saved;
}

} // namespace SettingsDialogLauncher
