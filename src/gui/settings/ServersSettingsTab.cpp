#include "gui/settings/ServersSettingsTab.h"

#include "catalogue/CountryCode.h"
#include "catalogue/HalvorixServerSite.h"
#include "prefs/Settings.h"
#include "ui_SettingsWidget.h"

namespace {
QIcon flagOf(const QString &countryCode)
{
    return QIcon(QPixmap(CountryCode::findByIsoCode(countryCode).getFlagPath()));
}
} // namespace

void ServersSettingsTab::load(const Settings &settings)
{
    m_defaultServerSiteChange.reset();
    m_ui.serverSitesDedicatedIpList->clear();
    for (const HalvorixServerSite &site : settings.serverSitesWithDedicatedIp()) {
        if (site.getDedicatedIp().isNull())
            continue;
        appendSite(site);
    }
    m_ui.serverSitesDedicatedIpList->sortItems(Qt::AscendingOrder);
}

void ServersSettingsTab::save(Settings &settings)
{
    QList<HalvorixServerSite> sites;
    for (int i = 0; i < m_ui.serverSitesDedicatedIpList->count(); ++i)
        sites << m_ui.serverSitesDedicatedIpList->item(i)->data(Qt::UserRole).value<HalvorixServerSite>();
    settings.setServerSitesWithDedicatedIp(sites);
    if (m_defaultServerSiteChange) {
        if (m_defaultServerSiteChange->isEmpty())
            settings.removeDefaultServerSite();
        else
            settings.setDefaultServerSite(*m_defaultServerSiteChange);
    }
}

void ServersSettingsTab::appendSite(const HalvorixServerSite &site)
{
    auto *item = new QListWidgetItem(flagOf(site.getCountryCode()), site.getDedicatedIpDisplayInfo(),
                                     m_ui.serverSitesDedicatedIpList);
    item->setData(Qt::UserRole, QVariant::fromValue(site));
}

QString ServersSettingsTab::defaultServerSite() const
{
    return m_defaultServerSiteChange ? *m_defaultServerSiteChange : Settings().defaultServerSite();
}
