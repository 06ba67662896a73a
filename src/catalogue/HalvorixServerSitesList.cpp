#include "catalogue/HalvorixServerSitesList.h"

#include "catalogue/CountryCode.h"

#include <algorithm>

HalvorixServerSitesList::HalvorixServerSitesList(const QList<HalvorixServerSite> &sites)
    : m_sites(sites)
{
}

QList<HalvorixServerSite> HalvorixServerSitesList::getAllServers() const
{
    return m_sites;
}

void HalvorixServerSitesList::sortList(const Comparator &comparator)
{
    // A merge sort stays inside the list even when a caller hands in a
    // comparator that is not a strict weak ordering; std::sort would not.
    std::stable_sort(
        m_sites.begin(), m_sites.end(),
        [&comparator](const HalvorixServerSite &a, const HalvorixServerSite &b) { return comparator(a, b) != 0; });
}

HalvorixServerSite HalvorixServerSitesList::getServerSiteById(const QString &id) const
{
    for (const HalvorixServerSite &site : m_sites) {
        if (site.getId() == id)
            return site;
    }
    return HalvorixServerSite();
}

void HalvorixServerSitesList::append(const HalvorixServerSite &site)
{
    m_sites.append(site);
}

HalvorixServerSite &HalvorixServerSitesList::operator[](int index)
{
    return m_sites[index];
}

const HalvorixServerSite &HalvorixServerSitesList::operator[](int index) const
{
    return m_sites.at(index);
}

bool HalvorixServerSitesList::isEmpty() const
{
    return m_sites.isEmpty();
}

int HalvorixServerSitesList::size() const
{
    return m_sites.size();
}

HalvorixServerSitesList HalvorixServerSitesList::filterNormalServers() const
{
    return filtered([](const HalvorixServerSite &site) { return !site.isStealth(); });
}

HalvorixServerSitesList HalvorixServerSitesList::filterStealthServers() const
{
    return filtered([](const HalvorixServerSite &site) { return site.isStealth() || site.supportStealthCipher(); });
}

HalvorixServerSitesList HalvorixServerSitesList::filterRegion(Region region) const
{
    if (region == Region(Region::All))
        return *this;
    return filtered([region](const HalvorixServerSite &site) {
        return CountryCode::findByIsoCode(site.getCountryCode()).getRegion() == region;
    });
}

HalvorixServerSitesList
HalvorixServerSitesList::filtered(const std::function<bool(const HalvorixServerSite &)> &keep) const
{
    HalvorixServerSitesList result;
    for (const HalvorixServerSite &site : m_sites) {
        if (keep(site))
            result.m_sites.append(site);
    }
    return result;
}
