#include "gui/SettingsDialogLauncher.h"

#include <QDebug>

// The dialog lives in its own part of the tree; until it is there, the callers
// still do everything they do after it closes.
#if __has_include("gui/settings/SettingsDialog.h")
#include "gui/settings/SettingsDialog.h"
#define ORVAL_HAS_SETTINGS_DIALOG 1
#endif

namespace SettingsDialogLauncher {

void run(QWidget *parent, const QList<StealthProxy> &stealthProxies, OsAbstraction &os, VpnBackend &backend,
         bool globallyProtected)
{
#ifdef ORVAL_HAS_SETTINGS_DIALOG
    // Automatic login is never offered from the running GUI.
    SettingsDialog dialog(parent, stealthProxies, os, backend, globallyProtected, false);
    dialog.exec();
#else
    Q_UNUSED(parent)
    Q_UNUSED(stealthProxies)
    Q_UNUSED(os)
    Q_UNUSED(backend)
    Q_UNUSED(globallyProtected)
    qWarning() << "The preferences dialog is not part of this build.";
#endif
}

} // namespace SettingsDialogLauncher
