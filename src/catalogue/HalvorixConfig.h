#pragma once

#include "catalogue/HalvorixServerSite.h"
#include "catalogue/HalvorixServerSitesList.h"
#include "catalogue/StealthProxy.h"
#include "core/GeoLocation.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Stateless reader of the unpacked configuration archive. Every call reads the
// settings and the catalogue files anew: a freshly installed archive is seen
// by the next call without any notification.
class HalvorixConfig
{
public:
    static const QString CATALOGUE_FILE;
    static const QString STEALTH_PROXIES_FILE;

    // The user's dedicated-IP sites, then one site per row of "configs2.csv"
    // in file order, each with its cipher offers from "config5.json".
    static QList<HalvorixServerSite> getServerSites();
    static HalvorixServerSitesList getServerSitesList();

    // The proxies of "configs-stealth-proxies.csv", deciphered; rows that do
    // not make a proxy are logged with their line number and left out.
    static QList<StealthProxy> getStealthProxies();
    // The same from already deciphered bytes.
    static QList<StealthProxy> readStealthProxies(const QByteArray &plain);

    // A configuration directory is recorded and exists.
    static bool hasValidConfig();
    // Deletes the installed configuration and forgets it.
    static void remove();

    // The hosts of the "remote" lines of every site's UDP file, in site and
    // line order, duplicates kept.
    static QStringList getHostNamesFromHalvorixServerSites();

    static bool toBool(const QString &text);
    static GeoLocation toGeoLocation(const QString &latitude, const QString &longitude);
};
