#include "catalogue/OpenVpnConfigurationModel.h"

#include "backend/OpenVpnConnectionParameters.h"
#include "catalogue/CatalogueLogging.h"
#include "catalogue/HalvorixServerSite.h"
#include "openvpn/ConnectVia.h"

#include <QDebug>
#include <QSettings>

namespace {
const QString PORTS_KEY = QStringLiteral("connect/OpenVPN24-ports");
const QString PORT_KEY = QStringLiteral("port");
const QString AUTH_KEY = QStringLiteral("auth");
const QString CIPHER_KEY = QStringLiteral("connect/OpenVPN24-cipher");
const QString PROTOCOL_KEY = QStringLiteral("connect/OpenVPN24-protocol");
const QString STUNNEL_KEY = QStringLiteral("connect/OpenVPN24-stunnel");
} // namespace

OpenVpnConfigurationModel::OpenVpnConfigurationModel()
{
    setProxySettingsAndProtocol(ConnectVia::UDP().toString());
}

OpenVpnConfigurationModel::OpenVpnConfigurationModel(const QString &cipher, const QString &protocol,
                                                     const QList<int> &ports, bool stunnel, const QStringList &auths)
    : m_cipher(cipher)
    , m_ports(ports)
    , m_auths(auths)
    , m_stunnel(stunnel)
{
    setProxySettingsAndProtocol(protocol);
}

void OpenVpnConfigurationModel::setProxySettingsAndProtocol(const QString &protocol)
{
    m_proxySettings = Settings().getProxySettings();
    if (m_proxySettings == Settings::DIRECT) {
        m_protocol = protocol;
        return;
    }
    // The model's keys stand at the top level of the preferences file.
    QSettings topLevel;
    m_protocol = getOpenVPN243ProtocolFromSettings(topLevel);
}

const ConnectVia &OpenVpnConfigurationModel::getProtocol() const
{
    switch (m_proxySettings) {
    case Settings::CUSTOM: return ConnectVia::TCP_WITH_CUSTOM_PROXY();
    case Settings::STEALTH: return ConnectVia::TCP_WITH_STEALTH_PROXY();
    case Settings::DIRECT: return ConnectVia::fromString(m_protocol);
    }
    qCWarning(lcCatalogue) << "Unknown switch value (ProxySettings): " << int(m_proxySettings);
    return ConnectVia::UDP();
}

bool OpenVpnConfigurationModel::stunnelEnabled() const
{
    return m_stunnel;
}

QString OpenVpnConfigurationModel::getCipher() const
{
    return m_cipher;
}

QList<int> OpenVpnConfigurationModel::getPorts() const
{
    return m_ports;
}

QStringList OpenVpnConfigurationModel::getAuths() const
{
    return m_auths;
}

bool OpenVpnConfigurationModel::pairsKnown() const
{
    return !m_ports.isEmpty() && m_auths.size() == m_ports.size();
}

QString OpenVpnConfigurationModel::getProtocolString() const
{
    return m_protocol;
}

Settings::ProxySettings OpenVpnConfigurationModel::getProxySettings() const
{
    return m_proxySettings;
}

QString OpenVpnConfigurationModel::getCipher(const ComboBoxConfigCipher &entry) const
{
    if (entry.getCiphers().contains(m_cipher))
        return m_cipher;
    const QStringList usable = entry.getCipherButNotNone();
    return usable.isEmpty() ? OpenVpnConfigCipher::defaultCipherStr : usable.first();
}

ComboBoxConfigCipher OpenVpnConfigurationModel::getComboBoxConfigCipher(const HalvorixServerSite &site,
                                                                        bool preferStealth) const
{
    const ConnectVia &via = getProtocol();
    const QList<ComboBoxConfigCipher> entries = ComboBoxConfigCipher::getComboBoxConfigCipherList(site, via);
    if (preferStealth) {
        for (const ComboBoxConfigCipher &entry : entries) {
            if (entry.isStealth())
                return entry;
        }
    }
    const ComboBoxConfigCipher candidate(chosenOffers(site, via));
    if (entries.contains(candidate))
        return candidate;
    return ComboBoxConfigCipher::getDefaultComboBoxConfigCipher(site, via);
}

QList<OpenVpnConfigCipher> OpenVpnConfigurationModel::chosenOffers(const HalvorixServerSite &site,
                                                                   const ConnectVia &via) const
{
    // Two entries of a site may share a port and differ in the digest.
    const QList<OpenVpnConfigCipher> byPort = site.getCipherListByProtocolPorts(via.getProtocol(), m_ports);
    if (!pairsKnown())
        return byPort;
    QList<OpenVpnConfigCipher> offers;
    for (const OpenVpnConfigCipher &offer : byPort) {
        for (int i = 0; i < m_ports.size(); ++i) {
            if (m_ports.at(i) == offer.getPort() && m_auths.at(i) == offer.getAuth()) {
                offers.append(offer);
                break;
            }
        }
    }
    return offers;
}

void OpenVpnConfigurationModel::writeTo(QSettings &settings) const
{
    settings.beginWriteArray(PORTS_KEY);
    for (int i = 0; i < m_ports.size(); ++i) {
        settings.setArrayIndex(i);
        settings.setValue(PORT_KEY, m_ports.at(i));
        if (pairsKnown())
            settings.setValue(AUTH_KEY, m_auths.at(i));
    }
    settings.endArray();
    settings.setValue(CIPHER_KEY, m_cipher);
    settings.setValue(PROTOCOL_KEY, m_protocol);
    settings.setValue(STUNNEL_KEY, m_stunnel);
}

OpenVpnConfigurationModel OpenVpnConfigurationModel::readFrom(QSettings &settings)
{
    QList<int> ports;
    QStringList auths;
    bool everyAuthStored = true;
    const int size = settings.beginReadArray(PORTS_KEY);
    for (int i = 0; i < size; ++i) {
        settings.setArrayIndex(i);
        ports.append(settings.value(PORT_KEY).toInt());
        everyAuthStored = everyAuthStored && settings.contains(AUTH_KEY);
        auths.append(settings.value(AUTH_KEY).toString());
    }
    settings.endArray();
    // Older files stored the ports alone.
    if (!everyAuthStored)
        auths.clear();
    return OpenVpnConfigurationModel(settings.value(CIPHER_KEY).toString(), settings.value(PROTOCOL_KEY).toString(),
                                     ports, settings.value(STUNNEL_KEY).toBool(), auths);
}

bool OpenVpnConfigurationModel::checkIfDefaultValueExists(QSettings &settings)
{
    bool everyPortStored = true;
    const int size = settings.beginReadArray(PORTS_KEY);
    for (int i = 0; i < size && everyPortStored; ++i) {
        settings.setArrayIndex(i);
        everyPortStored = settings.contains(PORT_KEY);
    }
    settings.endArray();
    return everyPortStored && settings.contains(CIPHER_KEY) && settings.contains(PROTOCOL_KEY)
           && settings.contains(STUNNEL_KEY);
}

QString OpenVpnConfigurationModel::getOpenVPN243ProtocolFromSettings(QSettings &settings)
{
    return settings.value(PROTOCOL_KEY, QStringLiteral("UDP")).toString();
}

QSharedPointer<ConnectionParameters>
OpenVpnConfigurationModel::getConnectionParameters(Settings &settings, const HalvorixServerSite &site) const
{
    const ConnectVia &via = getProtocol();
    const ComboBoxConfigCipher entry = getComboBoxConfigCipher(site, false);
    const QString cipherName = getCipher(entry);
    const OpenVpnConfigCipher offer = entry.getConfigByCipher(cipherName);
    qCDebug(lcCatalogue) << "ConnectionParameters for OpenVPN 2.4: "
                         << "connectVia: " << via.toString() << " - cipher: " << offer.getDisplayPortAuthStealthName()
                         << " " << cipherName;
    const BackendOpenVPNConfigCipher cipher =
        site.getBackendCipher(via.getProtocol(), cipherName, offer.getPort(), offer.getAuth());
    return QSharedPointer<ConnectionParameters>(new OpenVpnConnectionParameters(
        site, via, cipher, stunnelEnabled() ? ConnectionParameters::WITH_STUNNEL : ConnectionParameters::NO_STUNNEL,
        settings.iksEnableOnConnect(), settings.getCheckTunTapOnConnect(), true));
}
