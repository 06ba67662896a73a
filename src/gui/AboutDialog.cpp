#include "gui/AboutDialog.h"

#include "BuildConfig.h"
#include "gui/ExternalLink.h"
#include "ui_AboutDialog.h"

AboutDialog::AboutDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::AboutDialog)
{
    ui->setupUi(this);
    ui->version->setText(QStringLiteral("OrvalVPN Client %1").arg(QLatin1String(BuildConfig::applicationVersion)));
    const QString site = QString::fromLatin1(BuildConfig::websiteUrl);
    ui->url->setText(QStringLiteral("<html><head/><body><a href=\"%1\">%2</a></body></html>")
                         .arg(site.toHtmlEscaped(), site.toHtmlEscaped()));
    ExternalLink::attach(*ui->url);
}

AboutDialog::~AboutDialog() = default;
