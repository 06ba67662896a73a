#pragma once

#include "gui/settings/SettingsTab.h"

#include <QString>

#include <optional>

class HalvorixServerSite;
class Settings;

// The Servers tab of the settings form: the user's dedicated-IP servers, and
// the change of the default server made in their list, which the save
// writes with the list and a Cancel drops.
class ServersSettingsTab : public SettingsTab
{
public:
    using SettingsTab::SettingsTab;

    void load(const Settings &settings);
    void save(Settings &settings);

    // Appends the site's item: its country's flag, its text and the site itself.
    void appendSite(const HalvorixServerSite &site);

    // The default server as the list left it: the stored one unless the
    // list chose another or removed it (the empty text).
    QString defaultServerSite() const;
    void setDefaultServerSite(const QString &siteId) { m_defaultServerSiteChange = siteId; }
    void removeDefaultServerSite() { m_defaultServerSiteChange = QString(); }

private:
    // A site identifier, or the empty text when the default was removed;
    // nothing when the list left the default alone.
    std::optional<QString> m_defaultServerSiteChange;
};
