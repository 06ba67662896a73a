#pragma once

#include "catalogue/HalvorixServerSite.h"
#include "catalogue/StealthProxy.h"
#include "core/NullVpnFrontend.h"

#include <QList>
#include <QObject>

#include <functional>

// The installed catalogue as the windows and the tray show it: the server
// sites (the user's dedicated sites first) and the stealth proxies. It is
// read once per change (reload: at the start, on a downloaded catalogue, on
// a save of the preferences) and every receiver takes that one copy
// (changed), instead of each widget parsing the catalogue files again.
// As a frontend it hears a downloaded catalogue; attached before the windows,
// it has reloaded when they hear of it.
class ServerSiteModel : public QObject, public NullVpnFrontend
{
    Q_OBJECT

public:
    struct Reader
    {
        std::function<QList<HalvorixServerSite>()> sites;
        std::function<QList<StealthProxy>()> stealthProxies;
    };
    // The installed catalogue and the preferences' dedicated sites.
    static Reader installedCatalogue();

    explicit ServerSiteModel(Reader reader = installedCatalogue(), QObject *parent = nullptr);

    const QList<HalvorixServerSite> &sites() const { return m_sites; }
    const QList<StealthProxy> &stealthProxies() const { return m_stealthProxies; }

    void onNewConfigWasDownloaded() override;

public slots:
    // Reads the catalogue anew and tells every receiver.
    void reload();

signals:
    void changed();

private:
    Reader m_reader;
    QList<HalvorixServerSite> m_sites;
    QList<StealthProxy> m_stealthProxies;
};
