#pragma once

#include "catalogue/ComboBoxConfigCipher.h"
#include "prefs/Settings.h"

#include <QSharedPointer>

#include <QList>
#include <QString>
#include <QStringList>

class ConnectVia;
class ConnectionParameters;
class HalvorixServerSite;
class QSettings;

// The user's OpenVPN 2.4 choice, independent of any one site: protocol,
// cipher name, the ports and auth digests of the chosen port entry and stunnel, with the
// proxy preference (read when the model is built) overriding the protocol.
// Applied to a site, it falls back in a fixed order where the site lacks
// the exact choice.
class OpenVpnConfigurationModel
{
public:
    OpenVpnConfigurationModel();
    // auths holds the auth digest of each port, in the same order; without
    // them (a choice stored by an older version) the ports alone identify
    // the entry.
    OpenVpnConfigurationModel(const QString &cipher, const QString &protocol, const QList<int> &ports, bool stunnel,
                              const QStringList &auths = {});

    // Direct connections take the given protocol; through a proxy the stored
    // direct protocol is kept.
    void setProxySettingsAndProtocol(const QString &protocol);

    const ConnectVia &getProtocol() const;
    bool stunnelEnabled() const;
    QString getCipher() const;
    QList<int> getPorts() const;
    QStringList getAuths() const;
    // The protocol text that is stored ("UDP" or "TCP").
    QString getProtocolString() const;
    Settings::ProxySettings getProxySettings() const;

    // The model's cipher when the entry offers it, else the entry's first
    // name other than "none", else the default cipher.
    QString getCipher(const ComboBoxConfigCipher &entry) const;
    // The site's entry this model stands for.
    ComboBoxConfigCipher getComboBoxConfigCipher(const HalvorixServerSite &site, bool preferStealth) const;

    // The parameters of an OpenVPN connection to the site with this choice.
    QSharedPointer<ConnectionParameters> getConnectionParameters(Settings &settings,
                                                                 const HalvorixServerSite &site) const;

    // The four "connect/OpenVPN24-..." keys in the current group.
    void writeTo(QSettings &settings) const;
    static OpenVpnConfigurationModel readFrom(QSettings &settings);
    static bool checkIfDefaultValueExists(QSettings &settings);
    // The stored protocol, "UDP" when none is stored.
    static QString getOpenVPN243ProtocolFromSettings(QSettings &settings);

private:
    // The site's offers of the chosen entry: those of a stored (port, auth)
    // pair, or of a stored port when no digests are stored.
    QList<OpenVpnConfigCipher> chosenOffers(const HalvorixServerSite &site, const ConnectVia &via) const;
    bool pairsKnown() const;

    QString m_protocol;
    QString m_cipher;
    QList<int> m_ports;
    QStringList m_auths;
    bool m_stunnel = false;
    Settings::ProxySettings m_proxySettings = Settings::DIRECT;
};
