#include "gui/settings/ServerSiteEntryWidget.h"

#include "catalogue/ConfigJson.h"
#include "catalogue/CountryCode.h"
#include "catalogue/ServerSitePortFilter.h"
#include "catalogue/ServerSiteProtocolFilter.h"
#include "prefs/Settings.h"
#include "ui_ServerSiteEntryWidget.h"

#include <QDir>

ServerSiteEntryWidget::ServerSiteEntryWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::ServerSiteEntryWidget)
{
    ui->setupUi(this);
    ui->serverSitesDedicatedIpComment->setText(QString());
    ui->serverSitesDedicatedIpAddress->setText(QString());
    ui->serverSitesProtocolFilter->clear();
    ui->serverSitesPortFilter->clear();
    fillCountries();
    fillFilters();
}

ServerSiteEntryWidget::~ServerSiteEntryWidget() = default;

void ServerSiteEntryWidget::fillCountries()
{
    for (const CountryCode &country : CountryCode::countryCodes())
        ui->serverSitesDedicatedIpCountryCode->addItem(QIcon(country.getFlagPath()), country.getName(),
                                                       country.getIso3Code());
}

void ServerSiteEntryWidget::fillFilters()
{
    Settings settings;
    const QList<OpenVpnConfigCipher> offers = ConfigJson(settings).getDefaultCiphers();
    for (const ServerSiteProtocolFilter &filter : ServerSiteProtocolFilter::createProtocolFilterList(offers))
        ui->serverSitesProtocolFilter->addItem(filter.displayString(), QVariant::fromValue(filter));
    for (const ServerSitePortFilter &filter : ServerSitePortFilter::createPortFilterList(offers))
        ui->serverSitesPortFilter->addItem(filter.displayString(), QVariant::fromValue(filter));
}

void ServerSiteEntryWidget::setAlreadyUsedIps(const QList<QHostAddress> &addresses)
{
    for (const QHostAddress &address : addresses)
        usedAddresses << address.toString();
}

void ServerSiteEntryWidget::on_serverSitesDedicatedIpAddress_textChanged(const QString &text)
{
    emit areInputsValid(!usedAddresses.contains(text) && ui->serverSitesDedicatedIpAddress->hasAcceptableInput());
}

HalvorixServerSite ServerSiteEntryWidget::getNewEntry() const
{
    return HalvorixServerSite::dedicatedServerSite(
        ui->serverSitesDedicatedIpCountryCode->currentData().toString(), ui->serverSitesDedicatedIpComment->text(),
        QHostAddress(ui->serverSitesDedicatedIpAddress->text().trimmed()), QDir(QString()),
        ui->serverSitesProtocolFilter->currentData().value<ServerSiteProtocolFilter>(),
        ui->serverSitesPortFilter->currentData().value<ServerSitePortFilter>());
}

bool ServerSiteEntryWidget::setAsDefault() const
{
    return ui->serverSitesSetAsDefaultCheckbox->isChecked();
}
