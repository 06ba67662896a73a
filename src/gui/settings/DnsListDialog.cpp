#include "gui/settings/DnsListDialog.h"

#include "gui/StyleSheet.h"
#include "ui_DnsListDialog.h"

DnsListDialog::DnsListDialog(const DnsList &list, const QList<DnsListEntry> &inUse, QWidget *parent)
    : QDialog(parent)
    , m_ui(new Ui::DnsListDialog)
{
    m_ui->setupUi(this);
    setWindowTitle(QStringLiteral("Edit nameservers"));
    setStyleSheet(StyleSheet::fromResource(QStringLiteral(":/resources/dnslistdialog.qss")));
    m_ui->dnsListWidget->setCustomDnsList(list, inUse);
}

DnsListDialog::~DnsListDialog() = default;

DnsList DnsListDialog::getDnsList() const
{
    return m_ui->dnsListWidget->getCustomDnsList();
}

void DnsListDialog::on_okButton_clicked()
{
    done(QDialog::Accepted);
}

void DnsListDialog::on_cancelButton_clicked()
{
    done(QDialog::Rejected);
}
