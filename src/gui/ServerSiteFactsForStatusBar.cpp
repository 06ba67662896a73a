#include "gui/ServerSiteFactsForStatusBar.h"

#include "gui/GuiLogging.h"
#include "gui/ServerSiteFacts.h"
#include "ui_ServerSiteFactsForStatusBar.h"

#include <QDebug>

ServerSiteFactsForStatusBar::ServerSiteFactsForStatusBar(QWidget *parent)
    : QWidget(parent)
    , m_ui(new Ui::ServerSiteFactsForStatusBar)
{
    m_ui->setupUi(this);
}

ServerSiteFactsForStatusBar::~ServerSiteFactsForStatusBar() = default;

void ServerSiteFactsForStatusBar::onServerSite(HalvorixServerSite site)
{
    qCDebug(lcGui) << Q_FUNC_INFO;
    ServerSiteFacts::show({m_ui->flag, m_ui->country, m_ui->city, m_ui->stealthIcon, m_ui->bittorrentIcon,
                           m_ui->protocol, m_ui->cipher, m_ui->location},
                          site);
}
