#include "gui/settings/ServerSiteEntryDialog.h"

#include "gui/StyleSheet.h"
#include "ui_ServerSiteEntryDialog.h"

ServerSiteEntryDialog::ServerSiteEntryDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::ServerSiteEntryDialog)
{
    ui->setupUi(this);
    setWindowTitle(QStringLiteral("Add new dedicated Ip"));
    setStyleSheet(StyleSheet::fromResource(QStringLiteral(":/resources/serversiteentrydialog.qss")));
    ui->okButton->setEnabled(false);
    connect(ui->serversiteentrywidget, &ServerSiteEntryWidget::areInputsValid, this,
            &ServerSiteEntryDialog::onInputsChecked);
}

ServerSiteEntryDialog::~ServerSiteEntryDialog() = default;

void ServerSiteEntryDialog::setAlreadyUsedIps(const QList<QHostAddress> &addresses)
{
    ui->serversiteentrywidget->setAlreadyUsedIps(addresses);
}

HalvorixServerSite ServerSiteEntryDialog::getNewEntry() const
{
    return ui->serversiteentrywidget->getNewEntry();
}

bool ServerSiteEntryDialog::setAsDefault() const
{
    return ui->serversiteentrywidget->setAsDefault();
}

void ServerSiteEntryDialog::onInputsChecked(bool valid)
{
    ui->okButton->setEnabled(valid);
}

void ServerSiteEntryDialog::on_okButton_clicked()
{
    done(QDialog::Accepted);
}

void ServerSiteEntryDialog::on_cancelButton_clicked()
{
    done(QDialog::Rejected);
}
