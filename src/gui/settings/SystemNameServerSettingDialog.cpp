#include "gui/settings/SystemNameServerSettingDialog.h"

#include "backend/VpnBackend.h"
#include "gui/StyleSheet.h"
#include "ui_SystemNameServerSettingDialog.h"

SystemNameServerSettingDialog::SystemNameServerSettingDialog(VpnBackend *backend, const DnsList &dnsList,
                                                             QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::SystemNameServerSettingDialog)
    , backend(backend)
    , dnsList(dnsList)
{
    ui->setupUi(this);
    setStyleSheet(StyleSheet::fromResource(QStringLiteral(":/resources/systemnameserversettingdialog.qss")));
    setWindowTitle(QStringLiteral("Set System DNS"));
    fillNameServers();
}

SystemNameServerSettingDialog::~SystemNameServerSettingDialog() = default;

void SystemNameServerSettingDialog::fillNameServers()
{
    ui->nameServerComboBox->clear();
    ui->nameServerComboBox->addItem(DnsListEntry::DHCPDEFAULT.getName(),
                                    QVariant::fromValue(DnsListEntry::DHCPDEFAULT));
    for (const DnsListEntry &entry : qAsConst(dnsList))
        ui->nameServerComboBox->addItem(entry.getName(), QVariant::fromValue(entry));
}

void SystemNameServerSettingDialog::on_okButton_clicked()
{
    backend->setSystemNameServers(ui->nameServerComboBox->currentData().value<DnsListEntry>());
    done(QDialog::Accepted);
}

void SystemNameServerSettingDialog::on_cancelButton_clicked()
{
    done(QDialog::Rejected);
}
