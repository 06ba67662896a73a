#pragma once

#include "catalogue/StealthProxy.h"

#include <QDialog>
#include <QList>
#include <QScopedPointer>

class OsAbstraction;
class Ui_SettingsDialog;
class VpnBackend;

// The modal preferences dialog: the settings widget with Save, Cancel and
// Restore Defaults. Its creator runs it with exec() and destroys it.
class SettingsDialog : public QDialog
{
    Q_OBJECT

public:
    // connectionActive: a connection starts or runs, so the system name
    // servers and the DNS cache are not offered for change.
    SettingsDialog(QWidget *parent, const QList<StealthProxy> &stealthProxies, OsAbstraction &osAbstraction,
                   VpnBackend &vpnBackend, bool globalRouteAlreadyActive, bool autoLoginAllowed, bool connectionActive);
    ~SettingsDialog() override;

signals:
    // Once, as the dialog ends with the stored preferences changed: by Save,
    // or by an action that wrote them at once, which a Cancel keeps.
    void settingsSaved();

private:
    QScopedPointer<Ui_SettingsDialog> m_ui;
    OsAbstraction &m_osAbstraction;
    VpnBackend &m_vpnBackend;
    bool m_writtenAtOnce = false;
};
