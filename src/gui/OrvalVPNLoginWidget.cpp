#include "gui/OrvalVPNLoginWidget.h"

#include "gui/ExternalLink.h"
#include "ui_OrvalVPNLoginWidget.h"

OrvalVPNLoginWidget::OrvalVPNLoginWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::OrvalVPNLoginWidget)
{
    ui->setupUi(this);
    ExternalLink::attach(*ui->signUpLabel);
    // Login needs both fields: an empty pair stored as "remembered" would
    // replace the credentials the user saved before.
    connect(ui->username, &QLineEdit::textChanged, this, &OrvalVPNLoginWidget::updateLoginEnabled);
    connect(ui->password, &QLineEdit::textChanged, this, &OrvalVPNLoginWidget::updateLoginEnabled);
    configure();
    updateLoginEnabled();
    ui->authFailed->hide();
    ui->login->setShortcut(Qt::Key_Return);
}

OrvalVPNLoginWidget::~OrvalVPNLoginWidget() = default;

void OrvalVPNLoginWidget::configure()
{
    const bool remembered = settings.remembersCredentials();
    ui->username->setText(remembered ? settings.getUsername() : QString());
    ui->password->setText(remembered ? settings.getPassword() : QString());
    ui->rememberCredentials->setChecked(remembered);
}

void OrvalVPNLoginWidget::focusUsername()
{
    ui->username->setFocus(Qt::OtherFocusReason);
}

void OrvalVPNLoginWidget::authFailed(bool failed)
{
    ui->authFailed->setVisible(failed);
}

void OrvalVPNLoginWidget::on_login_clicked()
{
    const QString username = ui->username->text();
    const QString password = ui->password->text();
    if (username.isEmpty() || password.isEmpty())
        return;
    if (ui->rememberCredentials->isChecked())
        settings.rememberCredentials(username, password);
    else
        settings.forgetCredentials();
    emit login(username, password);
}

void OrvalVPNLoginWidget::on_abort_clicked()
{
    emit abort();
}

void OrvalVPNLoginWidget::updateLoginEnabled()
{
    ui->login->setEnabled(!ui->username->text().isEmpty() && !ui->password->text().isEmpty());
}
