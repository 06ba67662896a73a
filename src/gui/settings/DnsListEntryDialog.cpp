#include "gui/settings/DnsListEntryDialog.h"

#include "gui/StyleSheet.h"
#include "ui_DnsListEntryDialog.h"

DnsListEntryDialog::DnsListEntryDialog(QWidget *parent)
    : QDialog(parent)
    , m_ui(new Ui::DnsListEntryDialog)
{
    m_ui->setupUi(this);
    setWindowTitle(QStringLiteral("Edit nameserver entry"));
    setStyleSheet(StyleSheet::fromResource(QStringLiteral(":/resources/dnslistentrydialog.qss")));
    m_ui->okButton->setEnabled(false);
    connect(m_ui->dnslistentrywidget, &DnsListEntryWidget::areInputsValid, this, &DnsListEntryDialog::onInputsChecked);
}

DnsListEntryDialog::~DnsListEntryDialog() = default;

void DnsListEntryDialog::setListEntryToEdit(const QStringList &usedNames, const DnsListEntry &entry)
{
    m_ui->dnslistentrywidget->setListEntryToEdit(usedNames, entry);
}

DnsListEntry DnsListEntryDialog::getModifiedEntry()
{
    return m_ui->dnslistentrywidget->getNewEntry();
}

void DnsListEntryDialog::onInputsChecked(bool valid)
{
    m_ui->okButton->setEnabled(valid);
}

void DnsListEntryDialog::on_okButton_clicked()
{
    done(QDialog::Accepted);
}

void DnsListEntryDialog::on_cancelButton_clicked()
{
    done(QDialog::Rejected);
}
