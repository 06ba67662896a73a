#include "gui/ServerSiteFactsForStatusBar.h"

#include "gui/ServerSiteFacts.h"
#include "ui_ServerSiteFactsForStatusBar.h"

#include <QDebug>

ServerSiteFactsForStatusBar::ServerSiteFactsForStatusBar(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::ServerSiteFactsForStatusBar)
{
    ui->setupUi(this);
}

ServerSiteFactsForStatusBar::~ServerSiteFactsForStatusBar() = default;

void ServerSiteFactsForStatusBar::onServerSite(HalvorixServerSite site)
{
    qDebug() << Q_FUNC_INFO;
    ServerSiteFacts::show(
        {ui->flag, ui->country, ui->city, ui->stealthIcon, ui->bittorrentIcon, ui->protocol, ui->cipher, ui->location},
        site);
}
