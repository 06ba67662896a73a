#pragma once

#include "../backend/FakeConnectionParameters.h"

// Connection parameters for a given site, protocol and cipher: what the
// loading and status pages read from an attempt.
class SiteConnectionParameters : public FakeConnectionParameters
{
public:
    SiteConnectionParameters(const HalvorixServerSite &site, HalvorixServerSite::Protocol protocol,
                             const QString &cipherName, const QString &authName = QString(), bool stealth = false)
        : m_site(site)
        , m_protocol(protocol)
        , m_cipherName(cipherName)
        , m_authName(authName)
        , m_stealth(stealth)
    {
    }

    HalvorixServerSite getServerSite() const override { return m_site; }
    HalvorixServerSite::Protocol getProtocol() const override { return m_protocol; }
    bool isCipherStealth() const override { return m_stealth; }
    QString getCipherName() const override { return m_cipherName; }
    bool hasCipherAuthName() const override { return !m_authName.isEmpty(); }
    QString getCipherAuthName() const override { return m_authName; }

    // A catalogue site with no files, in the given country and city.
    static HalvorixServerSite makeSite(const QString &country, const QString &city, bool stealth = false,
                                       const QHostAddress &dedicatedIp = QHostAddress())
    {
        return HalvorixServerSite(country, city, QString(), QString(), stealth, false, QDir(), {}, dedicatedIp,
                                  GeoLocation(), QString(), 0);
    }

private:
    HalvorixServerSite m_site;
    HalvorixServerSite::Protocol m_protocol;
    QString m_cipherName;
    QString m_authName;
    bool m_stealth;
};
