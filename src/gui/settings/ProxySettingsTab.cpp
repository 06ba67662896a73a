#include "gui/settings/ProxySettingsTab.h"

#include "gui/GuiLogging.h"
#include "prefs/Settings.h"
#include "ui_SettingsWidget.h"

#include <QDebug>

void ProxySettingsTab::load(const Settings &settings)
{
    switch (settings.getProxySettings()) {
    case Settings::STEALTH: m_ui.proxySettingsStealth->setChecked(true); break;
    case Settings::CUSTOM: m_ui.proxySettingsCustom->setChecked(true); break;
    case Settings::DIRECT: m_ui.proxySettingsDirect->setChecked(true); break;
    default:
        qCDebug(lcGui) << "Unknown proxy settings type" << int(settings.getProxySettings());
        m_ui.proxySettingsDirect->setChecked(true);
        break;
    }
    setCurrentItemByDataOrFirstEntry(m_ui.stealthProxyServer, settings.getStealthProxyId());
    setCurrentItemByDataOrFirstEntry(m_ui.proxyProtocol, int(settings.getProxyProtocol()));
    m_ui.proxyAddressCheck->hide();
    m_ui.proxyAddress->setText(settings.getProxyAddress());
    m_ui.proxyPort->setText(settings.getProxyPort());
}

void ProxySettingsTab::save(Settings &settings)
{
    if (m_ui.proxySettingsDirect->isChecked()) {
        settings.setProxySettings(Settings::DIRECT);
    } else if (m_ui.proxySettingsStealth->isChecked()) {
        settings.setProxySettings(Settings::STEALTH);
        // Without any stealth proxy the stored choice stays.
        if (m_ui.stealthProxyServer->currentIndex() >= 0)
            settings.setStealthProxyId(m_ui.stealthProxyServer->currentData().toString());
    } else if (m_ui.proxySettingsCustom->isChecked()) {
        settings.setProxySettings(Settings::CUSTOM);
        const QVariant protocol = m_ui.proxyProtocol->currentData();
        settings.setProxyProtocol(protocol.isValid() ? Settings::ProxyProtocol(protocol.toInt()) : Settings::HTTP);
        settings.setProxyAddress(m_ui.proxyAddress->text());
        settings.setProxyPort(m_ui.proxyPort->text());
    }
}
