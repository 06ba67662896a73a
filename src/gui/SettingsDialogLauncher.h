#pragma once

#include "catalogue/StealthProxy.h"

#include <QList>

class BackendStateTracker;
class OsAbstraction;
class QWidget;
class VpnBackend;

// The one place the preferences dialog is built and run modally, for the
// connect panel's link and the main window's menu; the dialog writes the
// preferences itself. True when the dialog reported its settings saved
// (SettingsDialog::settingsSaved): the caller passes that on.
namespace SettingsDialogLauncher {
bool run(QWidget *parent, const QList<StealthProxy> &stealthProxies, OsAbstraction &os, VpnBackend &backend,
         BackendStateTracker &stateTracker);
} // namespace SettingsDialogLauncher
