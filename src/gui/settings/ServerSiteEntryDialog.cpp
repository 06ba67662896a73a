#include "gui/settings/ServerSiteEntryDialog.h"

#include "gui/StyleSheet.h"
#include "ui_ServerSiteEntryDialog.h"

ServerSiteEntryDialog::ServerSiteEntryDialog(QWidget *parent)
    : QDialog(parent)
    , m_ui(new Ui::ServerSiteEntryDialog)
{
    m_ui->setupUi(this);
    setWindowTitle(QStringLiteral("Add new dedicated Ip"));
    setStyleSheet(StyleSheet::fromResource(QStringLiteral(":/resources/serversiteentrydialog.qss")));
    m_ui->okButton->setEnabled(false);
    connect(m_ui->serversiteentrywidget, &ServerSiteEntryWidget::areInputsValid, this,
            &ServerSiteEntryDialog::onInputsChecked);
}

ServerSiteEntryDialog::~ServerSiteEntryDialog() = default;

void ServerSiteEntryDialog::setAlreadyUsedIps(const QList<QHostAddress> &addresses)
{
    m_ui->serversiteentrywidget->setAlreadyUsedIps(addresses);
}

HalvorixServerSite ServerSiteEntryDialog::getNewEntry() const
{
    return m_ui->serversiteentrywidget->getNewEntry();
}

bool ServerSiteEntryDialog::setAsDefault() const
{
    return m_ui->serversiteentrywidget->setAsDefault();
}

void ServerSiteEntryDialog::onInputsChecked(bool valid)
{
    m_ui->okButton->setEnabled(valid);
}

void ServerSiteEntryDialog::on_okButton_clicked()
{
    done(QDialog::Accepted);
}

void ServerSiteEntryDialog::on_cancelButton_clicked()
{
    done(QDialog::Rejected);
}
