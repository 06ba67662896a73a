#pragma once

#include <QString>

class HalvorixServerSite;
class OsAbstraction;
class Settings;
class UserStatistics;
class VpnBackend;

// What the GUI run decides before and right after its windows appear:
// whether the preference file can be written, whether the DNS state of an
// unclean shutdown is restored, and whether and where to connect at launch.
// Each operation reads the preferences anew and may ask the user.
class StartupChecks
{
public:
    explicit StartupChecks(UserStatistics &statistics);

    void checkIfPreferenceFileIsWritable();
    // True when the backend shall restore the DNS stack the last run left.
    bool dnsStackRecoveryIsNecessary();
    void connectAtLaunchIfNecessary(VpnBackend &backend, OsAbstraction &os);

    static const QString FALLBACK_SERVER_SITE;
    static const QString NOT_WRITABLE_TEXT;
    static const QString NOT_WRITABLE_INFORMATIVE_TEXT;
    static const QString RECOVERY_FAILED_TEXT;
    static const QString DNS_UNCLEAN_TEXT;
    static const QString DNS_UNCLEAN_INFORMATIVE_TEXT;
    static const QString DNS_RECOVER_BUTTON_TEXT;
    static const QString DNS_FORGET_BUTTON_TEXT;
    static const QString DNS_CHECK_BOX_TEXT;

private:
    // The default site, else the site nearest to the stored location, else the fallback.
    static QString chooseServerSiteId(Settings &settings);
    // The last catalogue site with that identifier; false when there is none.
    static bool findServerSite(const QString &siteId, HalvorixServerSite &site);

    UserStatistics &m_statistics;
};
