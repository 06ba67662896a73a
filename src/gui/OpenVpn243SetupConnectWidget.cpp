#include "gui/OpenVpn243SetupConnectWidget.h"

#include "gui/GuiLogging.h"
#include "openvpn/ConnectVia.h"
#include "prefs/Settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDebug>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionComboBox>

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
    : m_protocolCB(protocolCB)
    , m_portAuthBox(portAuthBox)
    , m_cipherCB(cipherCB)
    , m_stunnelChB(stunnelChB)
    , m_connectButton(connectButton)
    , m_cipherWarningSign(cipherWarningSign)
    , m_cipherWarningSign2(cipherWarningSign2)
    , m_stealthIcon(stealthIcon)
    , m_stealthLabel(stealthLabel)
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
        m_connectButton.setEnabled(false);
}

void OpenVpn243SetupConnectWidget::updateCipherIcons(const HalvorixServerSite &site)
{
    const bool noEncryption = m_cipherCB.currentText() == QLatin1String("none");
    m_cipherWarningSign.setVisible(noEncryption);
    m_cipherWarningSign2.setVisible(noEncryption);
    if (!noEncryption)
        m_connectButton.setText(tr("Connect"));

    const bool stealth = site.isStealth() || (hasCurrentPortEntry() && currentPortEntry().isStealth());
    m_stealthIcon.setVisible(stealth);
    m_stealthLabel.setVisible(stealth);
}

OpenVpnConfigCipher OpenVpn243SetupConnectWidget::getCurrentConfigCipher(const HalvorixServerSite &) const
{
    return currentPortEntry().getConfigByCipher(m_cipherCB.currentText());
}

QString OpenVpn243SetupConnectWidget::getCurrentCipherString() const
{
    return m_cipherCB.currentText();
}

bool OpenVpn243SetupConnectWidget::isSTunnelEnabled() const
{
    return m_stunnelChB.isChecked();
}

bool OpenVpn243SetupConnectWidget::isTransportAvailable() const
{
    return m_protocolCB.count() > 0;
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
    if (m_protocolCB.currentIndex() < 0 || !hasCurrentPortEntry())
        return OpenVpnConfigurationModel();
    return OpenVpnConfigurationModel(
        m_cipherCB.currentText(), HalvorixServerSite::toString(currentProtocol().getProtocol()),
        currentPortEntry().getPort(), m_stunnelChB.isChecked(), currentPortEntry().getAuth());
}

const ConnectVia &OpenVpn243SetupConnectWidget::currentProtocol() const
{
    const auto *current = m_protocolCB.currentData().value<const ConnectVia *>();
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

namespace {
void reserveWidthFor(QComboBox &box, const QStringList &texts)
{
    // The box's own measure of an entry, for the widest text it may hold.
    const QFontMetrics metrics = box.fontMetrics();
    int widest = 0;
    for (const QString &text : texts)
        widest = qMax(widest, metrics.horizontalAdvance(text));
    QStyleOptionComboBox option;
    option.initFrom(&box);
    option.editable = box.isEditable();
    const QSize contents(widest, metrics.height());
    box.setMinimumWidth(box.style()->sizeFromContents(QStyle::CT_ComboBox, &option, contents, &box).width());
}
} // namespace

void OpenVpn243SetupConnectWidget::reserveWidths(const QList<HalvorixServerSite> &sites)
{
    QStringList ports;
    QStringList ciphers;
    for (const HalvorixServerSite &site : sites) {
        for (const ConnectVia *via : {&ConnectVia::UDP(), &ConnectVia::TCP()}) {
            for (const ComboBoxConfigCipher &entry : ComboBoxConfigCipher::getComboBoxConfigCipherList(site, *via)) {
                ports.append(entry.getDisplayPort());
                ciphers.append(entry.getCiphers());
            }
        }
    }
    reserveWidthFor(m_protocolCB, {tr("UDP"), tr("TCP"), tr("Custom Proxy"), tr("Stealth Proxy")});
    reserveWidthFor(m_portAuthBox, ports);
    reserveWidthFor(m_cipherCB, ciphers);
}

void OpenVpn243SetupConnectWidget::fillProtocolCBOptions(Settings &settings, const HalvorixServerSite &site)
{
    m_protocolCB.clear();
    m_protocolCB.setEnabled(false);
    m_protocolCB.setToolTip(QString());
    const bool hasTcp = hasConfigFile(site, HalvorixServerSite::TCP);

    const Settings::ProxySettings proxy = settings.getProxySettings();
    switch (proxy) {
    case Settings::DIRECT: break;
    case Settings::CUSTOM: addProxyOption(hasTcp, tr("Custom Proxy"), ConnectVia::TCP_WITH_CUSTOM_PROXY()); return;
    case Settings::STEALTH: addProxyOption(hasTcp, tr("Stealth Proxy"), ConnectVia::TCP_WITH_STEALTH_PROXY()); return;
    default: qCDebug(lcGui) << Q_FUNC_INFO << "Unexpected switch value (ProxySettings): " << int(proxy); break;
    }

    if (hasConfigFile(site, HalvorixServerSite::UDP))
        addProtocolOption(tr("UDP"), ConnectVia::UDP());
    if (hasTcp)
        addProtocolOption(tr("TCP"), ConnectVia::TCP());
    m_protocolCB.setEnabled(m_protocolCB.count() > 0);
}

void OpenVpn243SetupConnectWidget::addProxyOption(bool hasTcp, const QString &text, const ConnectVia &connectVia)
{
    // A proxy carries TCP only. Without a TCP file nothing is offered, so that
    // no connection silently goes direct past the proxy the user configured.
    if (hasTcp)
        addProtocolOption(text, connectVia);
    else
        m_protocolCB.setToolTip(
            tr("This server offers no TCP connection, which the proxy chosen in the settings needs."));
}

void OpenVpn243SetupConnectWidget::addProtocolOption(const QString &text, const ConnectVia &connectVia)
{
    m_protocolCB.addItem(text, QVariant::fromValue(&connectVia));
}

void OpenVpn243SetupConnectWidget::selectProtocolCBOption(const OpenVpnConfigurationModel &model)
{
    const int index = m_protocolCB.findData(QVariant::fromValue(&model.getProtocol()));
    if (index >= 0)
        m_protocolCB.setCurrentIndex(index);
}

void OpenVpn243SetupConnectWidget::fillPortAuthBoxOptions(const HalvorixServerSite &site)
{
    m_portAuthBox.clear();
    m_portAuthBox.setEnabled(false);
    for (const ComboBoxConfigCipher &entry : ComboBoxConfigCipher::getComboBoxConfigCipherList(site, currentProtocol()))
        m_portAuthBox.addItem(entry.getDisplayPort(), QVariant::fromValue(entry));
    m_portAuthBox.setEnabled(m_portAuthBox.count() > 0);
}

void OpenVpn243SetupConnectWidget::selectPortAuthBoxOption(const HalvorixServerSite &site, bool preferStealth,
                                                           const OpenVpnConfigurationModel &model)
{
    const ComboBoxConfigCipher target = model.getComboBoxConfigCipher(site, preferStealth);
    for (int index = 0; index < m_portAuthBox.count(); ++index) {
        if (m_portAuthBox.itemData(index).value<ComboBoxConfigCipher>() == target) {
            m_portAuthBox.setCurrentIndex(index);
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
    m_cipherCB.clear();
    m_cipherCB.setEnabled(false);
    m_cipherCB.addItems(entry.getCiphers());
    m_cipherCB.setEnabled(m_cipherCB.count() > 0);
}

void OpenVpn243SetupConnectWidget::selectCipherCBOption(const ComboBoxConfigCipher &entry,
                                                        const OpenVpnConfigurationModel &model)
{
    const int index = m_cipherCB.findText(model.getCipher(entry));
    if (index >= 0)
        m_cipherCB.setCurrentIndex(index);
}

void OpenVpn243SetupConnectWidget::setUpStunnelChB(const OpenVpnConfigurationModel &model)
{
    const bool offered = !currentProtocol().isProxy() && hasCurrentPortEntry() && currentPortEntry().hasSTunnelPort();
    m_stunnelChB.setEnabled(offered);
    m_stunnelChB.setChecked(offered && model.stunnelEnabled());
}

bool OpenVpn243SetupConnectWidget::hasCurrentPortEntry() const
{
    return m_portAuthBox.currentIndex() >= 0;
}

ComboBoxConfigCipher OpenVpn243SetupConnectWidget::currentPortEntry() const
{
    if (!hasCurrentPortEntry())
        return ComboBoxConfigCipher();
    return m_portAuthBox.currentData().value<ComboBoxConfigCipher>();
}
