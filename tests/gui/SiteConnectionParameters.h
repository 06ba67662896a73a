#pragma once

#include "../backend/FakeConnectionParameters.h"

// Connection parameters for a given site, protocol and cipher: what the
// loading and status pages read from an attempt.
class SiteConnectionParameters : public FakeConnectionParameters
{
public:
    SiteConnectionParameters(const HalvorixServerSite &site, HalvorixServerSite::Protocol protocol,
                             const QString &cipherName, const QString &authName = QString(), bool stealth = false)
        : site(site)
        , protocol(protocol)
        , cipherName(cipherName)
        , authName(authName)
        , stealth(stealth)
    {
    }

    HalvorixServerSite getServerSite() const override { return site; }
    HalvorixServerSite::Protocol getProtocol() const override { return protocol; }
    bool isCipherStealth() const override { return stealth; }
    QString getCipherName() const override { return cipherName; }
    bool hasCipherAuthName() const override { return !authName.isEmpty(); }
    QString getCipherAuthName() const override { return authName; }

    // A catalogue site with no files, in the given country and city.
    static HalvorixServerSite makeSite(const QString &country, const QString &city, bool stealth = false,
                                       const QHostAddress &dedicatedIp = QHostAddress())
    {
        return HalvorixServerSite(country, city, QString(), QString(), stealth, false, QDir(), {}, dedicatedIp,
                                  GeoLocation(), QString(), 0);
    }

private:
    HalvorixServerSite site;
    HalvorixServerSite::Protocol protocol;
    QString cipherName;
    QString authName;
    bool stealth;
};
