#include "gui/settings/ServerSiteEntryWidget.h"

#include "catalogue/ConfigJson.h"
#include "catalogue/CountryCode.h"
#include "catalogue/ServerSitePortFilter.h"
#include "catalogue/ServerSiteProtocolFilter.h"
#include "gui/settings/InputRefusal.h"
#include "prefs/Settings.h"
#include "ui_ServerSiteEntryWidget.h"

#include <QDir>

ServerSiteEntryWidget::ServerSiteEntryWidget(QWidget *parent)
    : QWidget(parent)
    , m_ui(new Ui::ServerSiteEntryWidget)
{
    m_ui->setupUi(this);
    m_ui->serverSitesDedicatedIpComment->setText(QString());
    m_ui->serverSitesDedicatedIpAddress->setText(QString());
    m_ui->inputsCheck->hide();
    m_ui->serverSitesProtocolFilter->clear();
    m_ui->serverSitesPortFilter->clear();
    fillCountries();
    fillFilters();
}

ServerSiteEntryWidget::~ServerSiteEntryWidget() = default;

void ServerSiteEntryWidget::fillCountries()
{
    for (const CountryCode &country : CountryCode::countryCodes())
        m_ui->serverSitesDedicatedIpCountryCode->addItem(QIcon(country.getFlagPath()), country.getName(),
                                                         country.getIso3Code());
}

void ServerSiteEntryWidget::fillFilters()
{
    Settings settings;
    const QList<OpenVpnConfigCipher> offers = ConfigJson(settings).getDefaultCiphers();
    for (const ServerSiteProtocolFilter &filter : ServerSiteProtocolFilter::createProtocolFilterList(offers))
        m_ui->serverSitesProtocolFilter->addItem(filter.displayString(), QVariant::fromValue(filter));
    for (const ServerSitePortFilter &filter : ServerSitePortFilter::createPortFilterList(offers))
        m_ui->serverSitesPortFilter->addItem(filter.displayString(), QVariant::fromValue(filter));
}

void ServerSiteEntryWidget::setAlreadyUsedIps(const QList<QHostAddress> &addresses)
{
    for (const QHostAddress &address : addresses)
        m_usedAddresses << address.toString();
}

void ServerSiteEntryWidget::on_serverSitesDedicatedIpAddress_textChanged(const QString &text)
{
    QString reason;
    if (m_usedAddresses.contains(text))
        reason = tr("This address is already in the list.");
    else if (!m_ui->serverSitesDedicatedIpAddress->hasAcceptableInput())
        reason =
            text.isEmpty() ? tr("Enter the server's IPv4 address.") : tr("The address is not a valid IPv4 address.");
    InputRefusal::show(*m_ui->inputsCheck, reason);
    emit areInputsValid(reason.isEmpty());
}

HalvorixServerSite ServerSiteEntryWidget::getNewEntry() const
{
    return HalvorixServerSite::dedicatedServerSite(
        m_ui->serverSitesDedicatedIpCountryCode->currentData().toString(), m_ui->serverSitesDedicatedIpComment->text(),
        QHostAddress(m_ui->serverSitesDedicatedIpAddress->text().trimmed()), QDir(QString()),
        m_ui->serverSitesProtocolFilter->currentData().value<ServerSiteProtocolFilter>(),
        m_ui->serverSitesPortFilter->currentData().value<ServerSitePortFilter>());
}

bool ServerSiteEntryWidget::setAsDefault() const
{
    return m_ui->serverSitesSetAsDefaultCheckbox->isChecked();
}
