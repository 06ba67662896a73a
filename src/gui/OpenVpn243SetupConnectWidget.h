#pragma once

#include "catalogue/ComboBoxConfigCipher.h"
#include "catalogue/OpenVpnConfigurationModel.h"
#include "gui/AbstractSetupConnectWidget.h"

#include <QCoreApplication>

class ConnectVia;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class Settings;

// Fills the connect page's transport, port entry and cipher boxes and its
// stunnel check box from a site's offers for the OpenVPN 2.4 tunnel, selects
// a stored or the on-screen choice, keeps the dependent controls consistent
// and gives the current choice back. Holds no state of its own: every
// decision is taken from the controls, the site and the preferences.
class OpenVpn243SetupConnectWidget : public AbstractSetupConnectWidget
{
    Q_DECLARE_TR_FUNCTIONS(OpenVpn243SetupConnectWidget)

public:
    OpenVpn243SetupConnectWidget(QComboBox &protocolCB, QComboBox &portAuthBox, QComboBox &cipherCB,
                                 QCheckBox &stunnelChB, QPushButton &connectButton, QLabel &cipherWarningSign,
                                 QLabel &cipherWarningSign2, QLabel &stealthIcon, QLabel &stealthLabel);

    void setUpComboBoxesFromSettings(const HalvorixServerSite &site, bool preferStealth) override;
    void setUpComboBoxesFromUI(const HalvorixServerSite &site, bool preferStealth) override;
    void updateCipherIcons(const HalvorixServerSite &site) override;
    // The offer of the current port entry that carries the current cipher.
    OpenVpnConfigCipher getCurrentConfigCipher(const HalvorixServerSite &site) const override;
    QString getCurrentCipherString() const override;
    bool isSTunnelEnabled() const override;
    bool isTransportAvailable() const override;

    // The stored choice, or the default one when none is stored.
    OpenVpnConfigurationModel getSelectionCipherFromSettings() const;
    // The choice the controls show, or the default one when the transport
    // or port entry box has no current entry.
    OpenVpnConfigurationModel getSelectionCipherFromUI() const;
    // The current transport; UDP when the transport box has none.
    const ConnectVia &currentProtocol() const;

    // Each box gets the width of the longest text it may hold for any of
    // the sites, so that no entry is cut and the page keeps its width from
    // site to site.
    void reserveWidths(const QList<HalvorixServerSite> &sites);

    void setUpProtocolCB(Settings &settings, const HalvorixServerSite &site, const OpenVpnConfigurationModel &model);
    void setUpPortAuthBox(const HalvorixServerSite &site, bool preferStealth, const OpenVpnConfigurationModel &model);

private:
    void setUpComboBoxes(const HalvorixServerSite &site, bool preferStealth, const OpenVpnConfigurationModel &model);
    void fillProtocolCBOptions(Settings &settings, const HalvorixServerSite &site);
    // The proxy's transport as the only entry, or no entry (with the reason as
    // the box's tool tip) when the site has no TCP file.
    void addProxyOption(bool hasTcp, const QString &text, const ConnectVia &connectVia);
    void addProtocolOption(const QString &text, const ConnectVia &connectVia);
    void selectProtocolCBOption(const OpenVpnConfigurationModel &model);
    void fillPortAuthBoxOptions(const HalvorixServerSite &site);
    void selectPortAuthBoxOption(const HalvorixServerSite &site, bool preferStealth,
                                 const OpenVpnConfigurationModel &model);
    void setUpCipherCB(const HalvorixServerSite &site, const OpenVpnConfigurationModel &model);
    void fillCipherCBOptions(const ComboBoxConfigCipher &entry);
    void selectCipherCBOption(const ComboBoxConfigCipher &entry, const OpenVpnConfigurationModel &model);
    void setUpStunnelChB(const OpenVpnConfigurationModel &model);
    bool hasCurrentPortEntry() const;
    // The current port entry; an empty entry when there is none.
    ComboBoxConfigCipher currentPortEntry() const;

    QComboBox &m_protocolCB;
    QComboBox &m_portAuthBox;
    QComboBox &m_cipherCB;
    QCheckBox &m_stunnelChB;
    QPushButton &m_connectButton;
    QLabel &m_cipherWarningSign;
    QLabel &m_cipherWarningSign2;
    QLabel &m_stealthIcon;
    QLabel &m_stealthLabel;
};
