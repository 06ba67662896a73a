#include "gui/ConnectionSummary.h"

#include "catalogue/ConnectionParameters.h"
#include "catalogue/CountryCode.h"
#include "catalogue/HalvorixServerSite.h"

#include <QLabel>
#include <QPixmap>

void ConnectionSummary::showSite(QLabel &flag, QLabel &country, QLabel &city, const HalvorixServerSite &site)
{
    const CountryCode code = CountryCode::findByIsoCode(site.getCountryCode());
    flag.setPixmap(QPixmap(code.getFlagPath()));
    country.setText(code.getName());
    city.setText(site.getCity());
}

void ConnectionSummary::show(const Labels &labels, const ConnectionParameters &parameters)
{
    const HalvorixServerSite site = parameters.getServerSite();
    showSite(*labels.flag, *labels.country, *labels.city, site);
    const bool stealth = site.isStealth() || parameters.isCipherStealth();
    labels.stealthIcon->setVisible(stealth);
    labels.stealthLabel->setVisible(stealth);
    labels.protocol->setText(HalvorixServerSite::toString(parameters.getProtocol()));
    const QString cipher = parameters.getCipherName();
    labels.cipher->setText(cipher);
    labels.cipherWarningSign->setVisible(cipher == QLatin1String("none"));
}
