#pragma once

#include "prefs/DnsList.h"

#include <QDialog>
#include <QScopedPointer>

class VpnBackend;

namespace Ui {
class SystemNameServerSettingDialog;
}

// Sets the system's own name servers, outside any connection: automatic
// (DHCP), first and preselected, or one entry of the list. The backend applies
// the choice on OK.
class SystemNameServerSettingDialog : public QDialog
{
    Q_OBJECT

public:
    // The backend must outlive the dialog.
    SystemNameServerSettingDialog(VpnBackend *backend, const DnsList &dnsList, QWidget *parent = nullptr);
    ~SystemNameServerSettingDialog() override;

private slots:
    void on_okButton_clicked();
    void on_cancelButton_clicked();

private:
    void fillNameServers();

    QScopedPointer<Ui::SystemNameServerSettingDialog> m_ui;
    VpnBackend *m_backend;
    DnsList m_dnsList;
};
