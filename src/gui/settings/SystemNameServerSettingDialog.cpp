#include "gui/settings/SystemNameServerSettingDialog.h"

#include "backend/VpnBackend.h"
#include "gui/StyleSheet.h"
#include "ui_SystemNameServerSettingDialog.h"

SystemNameServerSettingDialog::SystemNameServerSettingDialog(VpnBackend *backend, const DnsList &dnsList,
                                                             QWidget *parent)
    : QDialog(parent)
    , m_ui(new Ui::SystemNameServerSettingDialog)
    , m_backend(backend)
    , m_dnsList(dnsList)
{
    m_ui->setupUi(this);
    setStyleSheet(StyleSheet::fromResource(QStringLiteral(":/resources/systemnameserversettingdialog.qss")));
    setWindowTitle(QStringLiteral("Set System DNS"));
    fillNameServers();
}

SystemNameServerSettingDialog::~SystemNameServerSettingDialog() = default;

void SystemNameServerSettingDialog::fillNameServers()
{
    m_ui->nameServerComboBox->clear();
    m_ui->nameServerComboBox->addItem(DnsListEntry::DHCPDEFAULT.getName(),
                                      QVariant::fromValue(DnsListEntry::DHCPDEFAULT));
    for (const DnsListEntry &entry : qAsConst(m_dnsList))
        m_ui->nameServerComboBox->addItem(entry.getName(), QVariant::fromValue(entry));
}

void SystemNameServerSettingDialog::on_okButton_clicked()
{
    m_backend->setSystemNameServers(m_ui->nameServerComboBox->currentData().value<DnsListEntry>());
    done(QDialog::Accepted);
}

void SystemNameServerSettingDialog::on_cancelButton_clicked()
{
    done(QDialog::Rejected);
}
