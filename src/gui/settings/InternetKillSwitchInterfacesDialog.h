#pragma once

#include "core/NetworkInterface.h"

#include <QDialog>
#include <QList>
#include <QScopedPointer>

namespace Ui {
class InternetKillSwitchInterfacesDialog;
}

// Chooses the network services the interface kill switch turns off: every
// service with a check box, the chosen ones checked. It stores nothing.
class InternetKillSwitchInterfacesDialog : public QDialog
{
    Q_OBJECT

public:
    InternetKillSwitchInterfacesDialog(const QList<NetworkInterface> &allInterfaces,
                                       const QList<NetworkInterface> &selectedInterfaces, QWidget *parent = nullptr);
    ~InternetKillSwitchInterfacesDialog() override;

    // The checked services, in the list's sorted order.
    QList<NetworkInterface> getInternetKillSwitchInterfacesSelected();

private slots:
    void on_checkAllButton_clicked();
    void on_uncheckAllButton_clicked();
    void on_okButton_clicked();
    void on_cancelButton_clicked();

private:
    void updateInternetKillSwitchInterfaceListView();
    void setAllCheckStates(Qt::CheckState state);

    QScopedPointer<Ui::InternetKillSwitchInterfacesDialog> m_ui;
    QList<NetworkInterface> m_allInterfaces;
    QList<NetworkInterface> m_selectedInterfaces;
};
