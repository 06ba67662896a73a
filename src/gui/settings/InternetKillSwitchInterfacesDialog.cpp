#include "gui/settings/InternetKillSwitchInterfacesDialog.h"

#include "gui/StyleSheet.h"
#include "ui_InternetKillSwitchInterfacesDialog.h"

InternetKillSwitchInterfacesDialog::InternetKillSwitchInterfacesDialog(
    const QList<NetworkInterface> &allInterfaces, const QList<NetworkInterface> &selectedInterfaces, QWidget *parent)
    : QDialog(parent)
    , m_ui(new Ui::InternetKillSwitchInterfacesDialog)
    , m_allInterfaces(allInterfaces)
    , m_selectedInterfaces(selectedInterfaces)
{
    m_ui->setupUi(this);
    setStyleSheet(StyleSheet::fromResource(QStringLiteral(":/resources/internetkillswitchinterfacesdialog.qss")));
    setWindowTitle(QStringLiteral("Select Interfaces"));
    updateInternetKillSwitchInterfaceListView();
}

InternetKillSwitchInterfacesDialog::~InternetKillSwitchInterfacesDialog() = default;

void InternetKillSwitchInterfacesDialog::updateInternetKillSwitchInterfaceListView()
{
    m_ui->internetKillSwitchInterfaces->clear();
    for (const NetworkInterface &service : qAsConst(m_allInterfaces)) {
        auto *item = new QListWidgetItem(service.getName(), m_ui->internetKillSwitchInterfaces);
        item->setData(Qt::UserRole, QVariant::fromValue(service));
        // Services are the same when their names are.
        item->setCheckState(m_selectedInterfaces.contains(service) ? Qt::Checked : Qt::Unchecked);
    }
    m_ui->internetKillSwitchInterfaces->sortItems(Qt::AscendingOrder);
}

QList<NetworkInterface> InternetKillSwitchInterfacesDialog::getInternetKillSwitchInterfacesSelected()
{
    m_selectedInterfaces.clear();
    for (int row = 0; row < m_ui->internetKillSwitchInterfaces->count(); ++row) {
        const QListWidgetItem *item = m_ui->internetKillSwitchInterfaces->item(row);
        if (item->checkState() == Qt::Checked)
            m_selectedInterfaces << item->data(Qt::UserRole).value<NetworkInterface>();
    }
    return m_selectedInterfaces;
}

void InternetKillSwitchInterfacesDialog::setAllCheckStates(Qt::CheckState state)
{
    for (int row = 0; row < m_ui->internetKillSwitchInterfaces->count(); ++row)
        m_ui->internetKillSwitchInterfaces->item(row)->setCheckState(state);
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
