#include "gui/ServerSiteFacts.h"

#include "gui/ConnectionSummary.h"
#include "gui/GuiLogging.h"
#include "ui_ServerSiteFacts.h"

#include <QDebug>

ServerSiteFacts::Texts ServerSiteFacts::textsOf(const HalvorixServerSite &site)
{
    QStringList protocols;
    OpenVpnConfigCipher cipher;
    for (const HalvorixServerSite::Protocol protocol : {HalvorixServerSite::UDP, HalvorixServerSite::TCP}) {
        if (site.getOpenVpnConfigFile(protocol).isFile()) {
            protocols << HalvorixServerSite::toString(protocol);
            cipher = site.getDefaultCipherFor(protocol);
        }
    }
    const GeoLocation location = site.getLocation();
    return {protocols.join(QStringLiteral(", ")), cipher.getDisplayName(),
            QStringLiteral("%1,%2").arg(location.getLatitude(), 0, 'f', 3).arg(location.getLongitude(), 0, 'f', 3)};
}

void ServerSiteFacts::show(const Labels &labels, const HalvorixServerSite &site)
{
    ConnectionSummary::showSite(*labels.flag, *labels.country, *labels.city, site);
    labels.stealthIcon->setVisible(site.isStealth());
    labels.bittorrentIcon->setVisible(site.isBittorrent());
    const Texts texts = textsOf(site);
    labels.protocol->setText(texts.protocols);
    labels.cipher->setText(texts.cipher);
    labels.location->setText(texts.location);
}

ServerSiteFacts::ServerSiteFacts(QWidget *parent)
    : QWidget(parent)
    , m_ui(new Ui::ServerSiteFacts)
{
    m_ui->setupUi(this);
}

ServerSiteFacts::~ServerSiteFacts() = default;

void ServerSiteFacts::onServerSite(HalvorixServerSite site)
{
    qCDebug(lcGui) << Q_FUNC_INFO;
    show({m_ui->flag, m_ui->country, m_ui->city, m_ui->stealthIcon, m_ui->bittorrentIcon, m_ui->protocol, m_ui->cipher,
          m_ui->label_2},
         site);
}
