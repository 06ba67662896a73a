#pragma once

#include "catalogue/HalvorixServerSite.h"
#include "catalogue/Region.h"

#include <QList>
#include <QString>

#include <functional>

// The ordered catalogue of server sites; copies share their storage.
class HalvorixServerSitesList
{
public:
    // Non-zero when the first site goes before the second.
    using Comparator = std::function<int(const HalvorixServerSite &, const HalvorixServerSite &)>;

    HalvorixServerSitesList() = default;
    HalvorixServerSitesList(const QList<HalvorixServerSite> &sites);

    QList<HalvorixServerSite> getAllServers() const;
    void sortList(const Comparator &comparator);
    // The first site with that identifier; an empty site when none has it.
    HalvorixServerSite getServerSiteById(const QString &id) const;
    void append(const HalvorixServerSite &site);
    HalvorixServerSite &operator[](int index);
    const HalvorixServerSite &operator[](int index) const;
    bool isEmpty() const;
    int size() const;

    HalvorixServerSitesList filterNormalServers() const;
    // Stealth-flagged sites and sites with a stealth cipher offer.
    HalvorixServerSitesList filterStealthServers() const;
    // The sites whose country lies in the region; every site for All.
    HalvorixServerSitesList filterRegion(Region region) const;

private:
    HalvorixServerSitesList filtered(const std::function<bool(const HalvorixServerSite &)> &keep) const;

    QList<HalvorixServerSite> m_sites;
};
