#pragma once

#include "catalogue/HalvorixConfig.h"
#include "catalogue/LocalConfigSource.h"
#include "core/GeoLocation.h"
#include "prefs/Settings.h"

#include <QStringList>
#include <QWidget>

// The built-in catalogue installed as the product installs it, with the
// look-ups the connect panel's and main window's tests share.
namespace BuiltInCatalogue {

inline bool install()
{
    LocalConfigSource().execute();
    return HalvorixConfig::getServerSites().size() > 3;
}

// Default preferences: no stored site, no own location.
inline void resetPreferences()
{
    Settings settings;
    settings.clear();
    settings.removeDefaultServerSite();
    settings.setMyLocation(GeoLocation());
}

// The catalogue's sites of those identifiers, in the given order.
inline QList<HalvorixServerSite> sites(const QStringList &ids)
{
    QList<HalvorixServerSite> chosen;
    const QList<HalvorixServerSite> all = HalvorixConfig::getServerSites();
    for (const QString &id : ids) {
        for (const HalvorixServerSite &site : all) {
            if (site.getId() == id)
                chosen.append(site);
        }
    }
    if (chosen.size() != ids.size())
        qFatal("A site of the test table is not in the catalogue: %s", qPrintable(ids.join(',')));
    return chosen;
}

inline HalvorixServerSite site(const QString &id)
{
    return sites({id}).first();
}

// The named child of a form; a test that names one the form lacks stops.
template<typename T>
T &child(const QWidget &form, const char *name)
{
    T *widget = form.findChild<T *>(QLatin1String(name));
    if (!widget)
        qFatal("%s has no %s", form.metaObject()->className(), name);
    return *widget;
}

} // namespace BuiltInCatalogue
