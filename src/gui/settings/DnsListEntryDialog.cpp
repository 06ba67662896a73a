#include "gui/settings/DnsListEntryDialog.h"

#include "gui/StyleSheet.h"
#include "ui_DnsListEntryDialog.h"

DnsListEntryDialog::DnsListEntryDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::DnsListEntryDialog)
{
    ui->setupUi(this);
    setWindowTitle(QStringLiteral("Edit nameserver entry"));
    setStyleSheet(StyleSheet::fromResource(QStringLiteral(":/resources/dnslistentrydialog.qss")));
    ui->okButton->setEnabled(false);
    connect(ui->dnslistentrywidget, &DnsListEntryWidget::areInputsValid, this, &DnsListEntryDialog::onInputsChecked);
}

DnsListEntryDialog::~DnsListEntryDialog() = default;

void DnsListEntryDialog::setListEntryToEdit(const QStringList &usedNames, const DnsListEntry &entry)
{
    ui->dnslistentrywidget->setListEntryToEdit(usedNames, entry);
}

DnsListEntry DnsListEntryDialog::getModifiedEntry()
{
    return ui->dnslistentrywidget->getNewEntry();
}

void DnsListEntryDialog::onInputsChecked(bool valid)
{
    ui->okButton->setEnabled(valid);
}

void DnsListEntryDialog::on_okButton_clicked()
{
    done(QDialog::Accepted);
}

void DnsListEntryDialog::on_cancelButton_clicked()
{
    done(QDialog::Rejected);
}
