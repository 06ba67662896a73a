#include "gui/settings/GeneralSettingsTab.h"

#include "prefs/Settings.h"
#include "system/OsAbstraction.h"
#include "ui_SettingsWidget.h"

#include <QSystemTrayIcon>

void GeneralSettingsTab::load(const Settings &settings, OsAbstraction *os)
{
    m_ui.autostart->setChecked(os && os->isLoginItem());
    m_ui.forgetCredentials->setEnabled(settings.remembersCredentials());
    m_ui.autoConnect->setChecked(settings.autoConnectOnStartup());
    m_ui.autoLogin->setChecked(settings.autoLoginOnConnect());
    m_ui.armKillswitch->setChecked(settings.armKillswitchAfterFirstConnection());
    m_ui.stillActiveWarning->setChecked(settings.stillActiveWarningEnable());

    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        m_ui.enableTrayIcon->setEnabled(false);
        m_ui.enableTrayIcon->setToolTip(tr("System tray is not available on your platform."));
    }
    // The stored choice itself: without a tray it is shown, and kept, as it is.
    m_ui.enableTrayIcon->setChecked(settings.isTrayIconSetInPreference());
    const bool trayInUse = settings.trayIconEnabled();
    setTrayDependentsEnabled(trayInUse);
    m_ui.startMinimized->setChecked(settings.isStartMinimizedSetInPreference());
    m_ui.minimizeOnConnect->setChecked(settings.isMinimizeOnConnectSetInPreference());
    m_ui.closeToTray->setChecked(settings.isCloseToTraySetInPreference());
    m_ui.minimizeToTray->setChecked(settings.isMinimizeToTraySetInPreference());
    m_ui.displayNotifications->setChecked(settings.isDisplayNotificationsSetInPreference());

    m_ui.displayCipherWarnings->setChecked(settings.displayCipherWarning());
    m_ui.dpiScaling->setChecked(settings.getPixelRatioToggle());
    m_ui.rememberWindowGeometry->setChecked(settings.getRememberWindowGeometry());
    m_ui.hideFromDock->setChecked(settings.getHideFromDock());

    switch (settings.iksEnableOnConnect()) {
    case Settings::NOOP: m_ui.iksEnableOnConnect->setCurrentText(QStringLiteral("No")); break;
    case Settings::ENABLE: m_ui.iksEnableOnConnect->setCurrentText(QStringLiteral("Yes")); break;
    default: m_ui.iksEnableOnConnect->setCurrentText(QStringLiteral("Ask")); break;
    }
}

void GeneralSettingsTab::save(Settings &settings, OsAbstraction *os)
{
    settings.setAutoConnectOnStartup(m_ui.autoConnect->isChecked());
    settings.setAutoLoginOnConnect(m_ui.autoLogin->isChecked());
    settings.setArmKillswitchAfterFirstConnection(m_ui.armKillswitch->isChecked());
    settings.setStillActiveWarningEnable(m_ui.stillActiveWarning->isChecked());

    if (os) {
        if (m_ui.autostart->isChecked())
            os->addLoginItem();
        else
            os->removeLoginItem();
    }

    // Without a tray the box only shows the stored choice, which stays.
    if (QSystemTrayIcon::isSystemTrayAvailable())
        settings.setTrayIconEnabled(m_ui.enableTrayIcon->isChecked());
    settings.setStartMinimized(m_ui.startMinimized->isChecked());
    settings.setMinimizeOnConnect(m_ui.minimizeOnConnect->isChecked());
    settings.setCloseToTray(m_ui.closeToTray->isChecked());
    settings.setMinimizeToTray(m_ui.minimizeToTray->isChecked());
    settings.setDisplayNotifications(m_ui.displayNotifications->isChecked());
    settings.setDisplayCipherWarning(m_ui.displayCipherWarnings->isChecked());
    settings.setPixelRatioToggle(m_ui.dpiScaling->isChecked());
    settings.setRememberWindowGeometry(m_ui.rememberWindowGeometry->isChecked());
    settings.setHideFromDock(m_ui.hideFromDock->isChecked());

    const QString iks = m_ui.iksEnableOnConnect->currentText();
    settings.setIksEnableOnConnect(iks == QLatin1String("Yes")  ? Settings::ENABLE
                                   : iks == QLatin1String("No") ? Settings::NOOP
                                                                : Settings::ASK);
}

void GeneralSettingsTab::setTrayDependentsEnabled(bool enabled)
{
    for (QCheckBox *dependent : {m_ui.startMinimized, m_ui.minimizeOnConnect, m_ui.closeToTray, m_ui.minimizeToTray,
                                 m_ui.displayNotifications})
        dependent->setEnabled(enabled);
}
