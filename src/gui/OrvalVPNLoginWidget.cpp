#include "gui/OrvalVPNLoginWidget.h"

#include "gui/ExternalLink.h"
#include "ui_OrvalVPNLoginWidget.h"

OrvalVPNLoginWidget::OrvalVPNLoginWidget(QWidget *parent)
    : QWidget(parent)
    , m_ui(new Ui::OrvalVPNLoginWidget)
{
    m_ui->setupUi(this);
    ExternalLink::attach(*m_ui->signUpLabel);
    // Login needs both fields: an empty pair stored as "remembered" would
    // replace the credentials the user saved before.
    connect(m_ui->username, &QLineEdit::textChanged, this, &OrvalVPNLoginWidget::updateLoginEnabled);
    connect(m_ui->password, &QLineEdit::textChanged, this, &OrvalVPNLoginWidget::updateLoginEnabled);
    configure();
    updateLoginEnabled();
    m_ui->authFailed->hide();
    m_ui->login->setShortcut(Qt::Key_Return);
}

OrvalVPNLoginWidget::~OrvalVPNLoginWidget() = default;

void OrvalVPNLoginWidget::configure()
{
    const bool remembered = m_settings.remembersCredentials();
    m_ui->username->setText(remembered ? m_settings.getUsername() : QString());
    m_ui->password->setText(remembered ? m_settings.getPassword() : QString());
    m_ui->rememberCredentials->setChecked(remembered);
}

void OrvalVPNLoginWidget::focusUsername()
{
    m_ui->username->setFocus(Qt::OtherFocusReason);
}

void OrvalVPNLoginWidget::authFailed(bool failed)
{
    m_ui->authFailed->setVisible(failed);
}

void OrvalVPNLoginWidget::on_login_clicked()
{
    const QString username = m_ui->username->text();
    const QString password = m_ui->password->text();
    if (username.isEmpty() || password.isEmpty())
        return;
    if (m_ui->rememberCredentials->isChecked())
        m_settings.rememberCredentials(username, password);
    else
        m_settings.forgetCredentials();
    emit login(username, password);
}

void OrvalVPNLoginWidget::on_abort_clicked()
{
    emit abort();
}

void OrvalVPNLoginWidget::updateLoginEnabled()
{
    m_ui->login->setEnabled(!m_ui->username->text().isEmpty() && !m_ui->password->text().isEmpty());
}
