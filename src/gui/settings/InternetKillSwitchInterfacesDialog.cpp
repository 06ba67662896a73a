#include "gui/settings/InternetKillSwitchInterfacesDialog.h"

#include "gui/StyleSheet.h"
#include "ui_InternetKillSwitchInterfacesDialog.h"

InternetKillSwitchInterfacesDialog::InternetKillSwitchInterfacesDialog(
    const QList<NetworkInterface> &allInterfaces, const QList<NetworkInterface> &selectedInterfaces, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::InternetKillSwitchInterfacesDialog)
    , allInterfaces(allInterfaces)
    , selectedInterfaces(selectedInterfaces)
{
    ui->setupUi(this);
    setStyleSheet(StyleSheet::fromResource(QStringLiteral(":/resources/internetkillswitchinterfacesdialog.qss")));
    setWindowTitle(QStringLiteral("Select Interfaces"));
    updateInternetKillSwitchInterfaceListView();
}

InternetKillSwitchInterfacesDialog::~InternetKillSwitchInterfacesDialog() = default;

void InternetKillSwitchInterfacesDialog::updateInternetKillSwitchInterfaceListView()
{
    ui->internetKillSwitchInterfaces->clear();
    for (const NetworkInterface &service : qAsConst(allInterfaces)) {
        auto *item = new QListWidgetItem(service.getName(), ui->internetKillSwitchInterfaces);
        item->setData(Qt::UserRole, QVariant::fromValue(service));
        // Services are the same when their names are.
        item->setCheckState(selectedInterfaces.contains(service) ? Qt::Checked : Qt::Unchecked);
    }
    ui->internetKillSwitchInterfaces->sortItems(Qt::AscendingOrder);
}

QList<NetworkInterface> InternetKillSwitchInterfacesDialog::getInternetKillSwitchInterfacesSelected()
{
    selectedInterfaces.clear();
    for (int row = 0; row < ui->internetKillSwitchInterfaces->count(); ++row) {
        const QListWidgetItem *item = ui->internetKillSwitchInterfaces->item(row);
        if (item->checkState() == Qt::Checked)
            selectedInterfaces << item->data(Qt::UserRole).value<NetworkInterface>();
    }
    return selectedInterfaces;
}

void InternetKillSwitchInterfacesDialog::setAllCheckStates(Qt::CheckState state)
{
    for (int row = 0; row < ui->internetKillSwitchInterfaces->count(); ++row)
        ui->internetKillSwitchInterfaces->item(row)->setCheckState(state);
}

void InternetKillSwitchInterfacesDialog::on_checkAllButton_clicked()
{
    setAllCheckStates(Qt::Checked);
}

void InternetKillSwitchInterfacesDialog::on_uncheckAllButton_clicked()
{
    setAllCheckStates(Qt::Unchecked);
}

void InternetKillSwitchInterfacesDialog::on_okButton_clicked()
{
    done(QDialog::Accepted);
}

void InternetKillSwitchInterfacesDialog::on_cancelButton_clicked()
{
    done(QDialog::Rejected);
}
