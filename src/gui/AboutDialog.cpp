#include "gui/AboutDialog.h"

#include "BuildConfig.h"
#include "gui/ExternalLink.h"
#include "ui_AboutDialog.h"

AboutDialog::AboutDialog(QWidget *parent)
    : QDialog(parent)
    , m_ui(new Ui::AboutDialog)
{
    m_ui->setupUi(this);
    m_ui->version->setText(QStringLiteral("OrvalVPN Client %1").arg(QLatin1String(BuildConfig::applicationVersion)));
    const QString site = QString::fromLatin1(BuildConfig::websiteUrl);
    m_ui->url->setText(QStringLiteral("<html><head/><body><a href=\"%1\">%2</a></body></html>")
                           .arg(site.toHtmlEscaped(), site.toHtmlEscaped()));
    ExternalLink::attach(*m_ui->url);
}

AboutDialog::~AboutDialog() = default;
