#include "gui/OpenVpn243SetupConnectWidget.h"

#include "openvpn/ConnectVia.h"
#include "prefs/Settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDebug>
#include <QLabel>
#include <QPushButton>

namespace {
bool hasConfigFile(const HalvorixServerSite &site, HalvorixServerSite::Protocol protocol)
{
    return site.getOpenVpnConfigFile(protocol).isFile();
}
} // namespace

OpenVpn243SetupConnectWidget::OpenVpn243SetupConnectWidget(QComboBox &protocolCB, QComboBox &portAuthBox,
                                                           QComboBox &cipherCB, QCheckBox &stunnelChB,
                                                           QPushButton &connectButton, QLabel &cipherWarningSign,
                                                           QLabel &cipherWarningSign2, QLabel &stealthIcon,
                                                           QLabel &stealthLabel)
    : protocolCB(protocolCB)
    , portAuthBox(portAuthBox)
    , cipherCB(cipherCB)
    , stunnelChB(stunnelChB)
    , connectButton(connectButton)
    , cipherWarningSign(cipherWarningSign)
    , cipherWarningSign2(cipherWarningSign2)
    , stealthIcon(stealthIcon)
    , stealthLabel(stealthLabel)
{
}

void OpenVpn243SetupConnectWidget::setUpComboBoxesFromSettings(const HalvorixServerSite &site, bool preferStealth)
{
    setUpComboBoxes(site, preferStealth, getSelectionCipherFromSettings());
}

void OpenVpn243SetupConnectWidget::setUpComboBoxesFromUI(const HalvorixServerSite &site, bool preferStealth)
{
    // Taken before any box is cleared.
    setUpComboBoxes(site, preferStealth, getSelectionCipherFromUI());
}

void OpenVpn243SetupConnectWidget::setUpComboBoxes(const HalvorixServerSite &site, bool preferStealth,
                                                   const OpenVpnConfigurationModel &model)
{
    Settings settings;
    setUpProtocolCB(settings, site, model);
    setUpPortAuthBox(site, preferStealth, model);
    setUpCipherCB(site, model);
    setUpStunnelChB(model);
    // Enabling is the page's business (it also needs the credentials).
    if (!isTransportAvailable())
        connectButton.setEnabled(false);
}

void OpenVpn243SetupConnectWidget::updateCipherIcons(const HalvorixServerSite &site)
{
    const bool noEncryption = cipherCB.currentText() == QLatin1String("none");
    cipherWarningSign.setVisible(noEncryption);
    cipherWarningSign2.setVisible(noEncryption);
    if (!noEncryption)
        connectButton.setText(tr("Connect"));

    const bool stealth = site.isStealth() || (hasCurrentPortEntry() && currentPortEntry().isStealth());
    stealthIcon.setVisible(stealth);
    stealthLabel.setVisible(stealth);
}

OpenVpnConfigCipher OpenVpn243SetupConnectWidget::getCurrentConfigCipher(const HalvorixServerSite &) const
{
    return currentPortEntry().getConfigByCipher(cipherCB.currentText());
}

QString OpenVpn243SetupConnectWidget::getCurrentCipherString() const
{
    return cipherCB.currentText();
}

bool OpenVpn243SetupConnectWidget::isSTunnelEnabled() const
{
    return stunnelChB.isChecked();
}

bool OpenVpn243SetupConnectWidget::isTransportAvailable() const
{
    return protocolCB.count() > 0;
}

OpenVpnConfigurationModel OpenVpn243SetupConnectWidget::getSelectionCipherFromSettings() const
{
    Settings settings;
    if (settings.hasDefaultOpenVpn243SelectionConfigCipher())
        return settings.defaultOpenVpn243SelectionConfigCipher();
    return OpenVpnConfigurationModel();
}

OpenVpnConfigurationModel OpenVpn243SetupConnectWidget::getSelectionCipherFromUI() const
{
    if (protocolCB.currentIndex() < 0 || !hasCurrentPortEntry())
        return OpenVpnConfigurationModel();
    return OpenVpnConfigurationModel(cipherCB.currentText(),
                                     HalvorixServerSite::toString(currentProtocol().getProtocol()),
                                     currentPortEntry().getPort(), stunnelChB.isChecked());
}

const ConnectVia &OpenVpn243SetupConnectWidget::currentProtocol() const
{
    const auto *current = protocolCB.currentData().value<const ConnectVia *>();
    return current ? *current : ConnectVia::UDP();
}

void OpenVpn243SetupConnectWidget::setUpProtocolCB(Settings &settings, const HalvorixServerSite &site,
                                                   const OpenVpnConfigurationModel &model)
{
    fillProtocolCBOptions(settings, site);
    selectProtocolCBOption(model);
}

void OpenVpn243SetupConnectWidget::setUpPortAuthBox(const HalvorixServerSite &site, bool preferStealth,
                                                    const OpenVpnConfigurationModel &model)
{
    fillPortAuthBoxOptions(site);
    selectPortAuthBoxOption(site, preferStealth, model);
}

void OpenVpn243SetupConnectWidget::fillProtocolCBOptions(Settings &settings, const HalvorixServerSite &site)
{
    protocolCB.clear();
    protocolCB.setEnabled(false);
    protocolCB.setToolTip(QString());
    const bool hasTcp = hasConfigFile(site, HalvorixServerSite::TCP);

    const Settings::ProxySettings proxy = settings.getProxySettings();
    switch (proxy) {
    case Settings::DIRECT: break;
    case Settings::CUSTOM: addProxyOption(hasTcp, tr("Custom Proxy"), ConnectVia::TCP_WITH_CUSTOM_PROXY()); return;
    case Settings::STEALTH: addProxyOption(hasTcp, tr("Stealth Proxy"), ConnectVia::TCP_WITH_STEALTH_PROXY()); return;
    default: qDebug() << Q_FUNC_INFO << "Unexpected switch value (ProxySettings): " << int(proxy); break;
    }

    if (hasConfigFile(site, HalvorixServerSite::UDP))
        addProtocolOption(tr("UDP"), ConnectVia::UDP());
    if (hasTcp)
        addProtocolOption(tr("TCP"), ConnectVia::TCP());
    protocolCB.setEnabled(protocolCB.count() > 0);
}

void OpenVpn243SetupConnectWidget::addProxyOption(bool hasTcp, const QString &text, const ConnectVia &connectVia)
{
    // A proxy carries TCP only. Without a TCP file nothing is offered, so that
    // no connection silently goes direct past the proxy the user configured.
    if (hasTcp)
        addProtocolOption(text, connectVia);
    else
        protocolCB.setToolTip(
            tr("This server offers no TCP connection, which the proxy chosen in the settings needs."));
}

void OpenVpn243SetupConnectWidget::addProtocolOption(const QString &text, const ConnectVia &connectVia)
{
    protocolCB.addItem(text, QVariant::fromValue(&connectVia));
}

void OpenVpn243SetupConnectWidget::selectProtocolCBOption(const OpenVpnConfigurationModel &model)
{
    const int index = protocolCB.findData(QVariant::fromValue(&model.getProtocol()));
    if (index >= 0)
        protocolCB.setCurrentIndex(index);
}

void OpenVpn243SetupConnectWidget::fillPortAuthBoxOptions(const HalvorixServerSite &site)
{
    portAuthBox.clear();
    portAuthBox.setEnabled(false);
    for (const ComboBoxConfigCipher &entry : ComboBoxConfigCipher::getComboBoxConfigCipherList(site, currentProtocol()))
        portAuthBox.addItem(entry.getDisplayPort(), QVariant::fromValue(entry));
    portAuthBox.setEnabled(portAuthBox.count() > 0);
}

void OpenVpn243SetupConnectWidget::selectPortAuthBoxOption(const HalvorixServerSite &site, bool preferStealth,
                                                           const OpenVpnConfigurationModel &model)
{
    const ComboBoxConfigCipher target = model.getComboBoxConfigCipher(site, preferStealth);
    for (int index = 0; index < portAuthBox.count(); ++index) {
        if (portAuthBox.itemData(index).value<ComboBoxConfigCipher>() == target) {
            portAuthBox.setCurrentIndex(index);
            return;
        }
    }
}

void OpenVpn243SetupConnectWidget::setUpCipherCB(const HalvorixServerSite &site, const OpenVpnConfigurationModel &model)
{
    const ComboBoxConfigCipher entry =
        hasCurrentPortEntry() ? currentPortEntry()
                              : ComboBoxConfigCipher(site.getDefaultCipherFor(currentProtocol().getProtocol()));
    fillCipherCBOptions(entry);
    selectCipherCBOption(entry, model);
}

void OpenVpn243SetupConnectWidget::fillCipherCBOptions(const ComboBoxConfigCipher &entry)
{
    cipherCB.clear();
    cipherCB.setEnabled(false);
    cipherCB.addItems(entry.getCiphers());
    cipherCB.setEnabled(cipherCB.count() > 0);
}

void OpenVpn243SetupConnectWidget::selectCipherCBOption(const ComboBoxConfigCipher &entry,
                                                        const OpenVpnConfigurationModel &model)
{
    const int index = cipherCB.findText(model.getCipher(entry));
    if (index >= 0)
        cipherCB.setCurrentIndex(index);
}

void OpenVpn243SetupConnectWidget::setUpStunnelChB(const OpenVpnConfigurationModel &model)
{
    const bool offered = !currentProtocol().isProxy() && hasCurrentPortEntry() && currentPortEntry().hasSTunnelPort();
    stunnelChB.setEnabled(offered);
    stunnelChB.setChecked(offered && model.stunnelEnabled());
}

bool OpenVpn243SetupConnectWidget::hasCurrentPortEntry() const
{
    return portAuthBox.currentIndex() >= 0;
}

ComboBoxConfigCipher OpenVpn243SetupConnectWidget::currentPortEntry() const
{
    if (!hasCurrentPortEntry())
        return ComboBoxConfigCipher();
    return portAuthBox.currentData().value<ComboBoxConfigCipher>();
}
