#include "gui/settings/NetworkSettingsTab.h"

#include "catalogue/DnsJson.h"
#include "prefs/DnsPreferenceAction.h"
#include "prefs/DnsRecoveryPreference.h"
#include "prefs/MtuPreference.h"
#include "prefs/Settings.h"
#include "system/OsAbstraction.h"
#include "ui_SettingsWidget.h"

namespace {
DnsPreferenceAction dnsActionOf(const QComboBox &combo)
{
    return combo.currentData().value<DnsPreferenceAction>();
}
} // namespace

NetworkSettingsTab::NetworkSettingsTab(Ui_SettingsWidget &ui)
    : SettingsTab(ui)
{
    m_dnsList.addHardCodedEntries();
}

void NetworkSettingsTab::load(const Settings &settings, OsAbstraction *os, bool globalRouteAlreadyActive)
{
    m_ui.recoverDNSStackOnStart->clear();
    for (const DnsRecoveryPreference &preference : {DnsRecoveryPreference::getDnsRecoveryPreferenceAutoRecover(),
                                                    DnsRecoveryPreference::getDnsRecoveryPreferenceAskOnStart(),
                                                    DnsRecoveryPreference::getDnsRecoveryPreferenceForget()})
        m_ui.recoverDNSStackOnStart->addItem(preference.getDisplayName(), QVariant::fromValue(preference));
    setCurrentItemByDataOrFirstEntry(m_ui.recoverDNSStackOnStart,
                                     QVariant::fromValue(settings.recoverDNSStackOnStart()));
    loadLeakProtection(settings, globalRouteAlreadyActive);
    loadKillSwitch(settings, os);
    loadDns(settings);
    loadOpenVpn(settings);
}

void NetworkSettingsTab::loadLeakProtection(const Settings &settings, bool globalRouteAlreadyActive)
{
    m_ui.preventWebRtcLeak->setChecked(settings.preventWebRtcLeak());
    m_ui.preventIPv6Leak->setChecked(settings.preventIPv6Leak());
    m_ui.preventIPv6Leak->setEnabled(!globalRouteAlreadyActive);
    m_ui.seamlessReconnect->setEnabled(!globalRouteAlreadyActive);
    if (globalRouteAlreadyActive) {
        m_ui.preventIPv6Leak->setText(
            tr("Prevent IPv6 leak (cannot be changed if \"Block internet when not connected\" is active)"));
        m_ui.seamlessReconnect->setText(
            tr("Seamless reconnect (cannot be changed if \"Block internet when not connected\" is active)"));
    } else {
        m_ui.preventIPv6Leak->setText(tr("Prevent IPv6 leak"));
        m_ui.seamlessReconnect->setText(tr("Seamless reconnect"));
    }
    m_ui.seamlessReconnect->setChecked(settings.seamlessReconnect());
    m_ui.blockInternetWhenNotConnected->setEnabled(m_ui.seamlessReconnect->isChecked());
    m_ui.blockInternetWhenNotConnected->setChecked(settings.isBlockInternetWhenNotConnectedSetInPreference());
}

void NetworkSettingsTab::loadKillSwitch(const Settings &settings, OsAbstraction *os)
{
    m_ui.internetKillSwitch->setChecked(settings.internetKillSwitch());
    m_ui.internetKillSwitchShowDialogButton->setEnabled(m_ui.internetKillSwitch->isChecked());
    m_ui.removeIKSonClose->setEnabled(m_ui.internetKillSwitch->isChecked());
    m_ui.removeIKSonClose->setChecked(settings.isRemoveInternetKillSwitchOnCloseSetInPreference());

    m_allInterfaces = os ? os->listNetworkInterfaces() : QList<NetworkInterface>();
    m_killSwitchInterfaces.clear();
    for (const NetworkInterface &networkInterface : qAsConst(m_allInterfaces)) {
        if (settings.isInternetKillSwitchInterface(networkInterface))
            m_killSwitchInterfaces.append(networkInterface);
    }
}

void NetworkSettingsTab::loadDns(const Settings &settings)
{
    m_dnsList = settings.getCustomDNS();
    refreshDnsPreferenceComboBoxes();
    setCurrentItemByDataOrFirstEntry(m_ui.onStartDnsComboBox,
                                     QVariant::fromValue(settings.getDnsPreferenceActionOnStart()));
    setCurrentItemByDataOrFirstEntry(m_ui.beforeConnectDnsComboBox,
                                     QVariant::fromValue(settings.getDnsPreferenceActionBeforeConnect()));
    setCurrentItemByDataOrFirstEntry(m_ui.afterConnectDnsComboBox,
                                     QVariant::fromValue(settings.getDnsPreferenceActionAfterConnect()));
    m_ui.refreshDNSCache->setChecked(settings.getRefreshDNSCache());
    m_ui.cleanDNSCache->setEnabled(DnsJson::isLocalDNSCachePresent());
    m_ui.lookupHostnameBeforeConnecting->setChecked(settings.getLookupHostnameBeforeConnecting());
}

void NetworkSettingsTab::loadOpenVpn(const Settings &settings)
{
    switch (settings.getTlsMinimumVersion()) {
    case Settings::TLS_1_0: m_ui.tlsMinimumVersionComboBox->setCurrentText(QStringLiteral("1.0")); break;
    case Settings::TLS_1_2: m_ui.tlsMinimumVersionComboBox->setCurrentText(QStringLiteral("1.2")); break;
    }

    const MtuPreference *mtu = settings.getMtuPreference();
    m_ui.mtuComboBox->clear();
    for (MtuPreference *preference : MtuPreference::ALLMTUPREFERENCES())
        m_ui.mtuComboBox->addItem(preference->displayName(), QVariant::fromValue(preference));
    m_ui.mtuComboBox->setCurrentText(mtu->displayName());
    m_ui.mtuLineEdit->setText(QString::number(mtu->getMtu()));
}

void NetworkSettingsTab::save(Settings &settings)
{
    settings.setRecoverDNSStackOnStart(m_ui.recoverDNSStackOnStart->currentData().value<DnsRecoveryPreference>());

    settings.setPreventWebRtcLeak(m_ui.preventWebRtcLeak->isChecked());
    settings.setPreventIPv6Leak(m_ui.preventIPv6Leak->isChecked());
    settings.setSeamlessReconnect(m_ui.seamlessReconnect->isChecked());
    settings.setBlockInternetWhenNotConnected(m_ui.blockInternetWhenNotConnected->isChecked());
    settings.setInternetKillSwitch(m_ui.internetKillSwitch->isChecked());
    settings.setRemoveInternetKillSwitchOnClose(m_ui.removeIKSonClose->isChecked());

    for (const NetworkInterface &networkInterface : qAsConst(m_allInterfaces)) {
        if (m_killSwitchInterfaces.contains(networkInterface))
            settings.setInternetKillSwitchInterface(networkInterface);
        else
            settings.clearInternetKillSwitchInterface(networkInterface);
    }

    settings.setCustomDNS(m_dnsList);
    settings.setDnsPreferenceActionOnStart(dnsActionOf(*m_ui.onStartDnsComboBox));
    settings.setDnsPreferenceActionBeforeConnect(dnsActionOf(*m_ui.beforeConnectDnsComboBox));
    settings.setDnsPreferenceActionAfterConnect(dnsActionOf(*m_ui.afterConnectDnsComboBox));
    settings.setRefreshDNSCache(m_ui.refreshDNSCache->isChecked());
    settings.setLookupHostnameBeforeConnecting(m_ui.lookupHostnameBeforeConnecting->isChecked());

    const QString tls = m_ui.tlsMinimumVersionComboBox->currentText();
    if (tls == QLatin1String("1.2"))
        settings.setTlsMinimumVersion(Settings::TLS_1_2);
    else if (tls == QLatin1String("1.0"))
        settings.setTlsMinimumVersion(Settings::TLS_1_0);

    if (MtuPreference *mtu = chosenMtu()) {
        if (m_ui.mtuLineEdit->hasAcceptableInput())
            mtu->setMtuIfCustom(m_ui.mtuLineEdit->text().toInt());
        settings.setMtuPreference(mtu);
    }
}

QList<DnsListEntry> NetworkSettingsTab::dnsEntriesInUse() const
{
    return {dnsActionOf(*m_ui.onStartDnsComboBox).getDnsListEntry(),
            dnsActionOf(*m_ui.beforeConnectDnsComboBox).getDnsListEntry(),
            dnsActionOf(*m_ui.afterConnectDnsComboBox).getDnsListEntry()};
}

void NetworkSettingsTab::refreshDnsPreferenceComboBoxes()
{
    QComboBox *const combos[] = {m_ui.onStartDnsComboBox, m_ui.beforeConnectDnsComboBox, m_ui.afterConnectDnsComboBox};
    QVariantList chosen;
    for (QComboBox *combo : combos) {
        chosen << combo->currentData();
        combo->clear();
        combo->addItem(DnsPreferenceAction::getDnsPreferenceActionNone().getDisplayName(),
                       QVariant::fromValue(DnsPreferenceAction::getDnsPreferenceActionNone()));
    }
    for (const DnsPreferenceAction &action :
         {DnsPreferenceAction::getDnsPreferenceActionPushed(), DnsPreferenceAction::getDnsPreferenceActionVpn(),
          DnsPreferenceAction::getDnsPreferenceActionAdBlocking()})
        m_ui.afterConnectDnsComboBox->addItem(action.getDisplayName(), QVariant::fromValue(action));
    for (const DnsListEntry &entry : qAsConst(m_dnsList)) {
        const DnsPreferenceAction action = DnsPreferenceAction::getDnsPreferenceActionCustom(entry);
        for (QComboBox *combo : combos)
            combo->addItem(action.getDisplayName(), QVariant::fromValue(action));
    }
    // By the action itself, not by its name: a custom entry may be named like
    // a built-in action.
    for (int i = 0; i < 3; ++i)
        setCurrentItemByDataOrFirstEntry(combos[i], chosen.at(i));
}

MtuPreference *NetworkSettingsTab::chosenMtu() const
{
    return m_ui.mtuComboBox->currentData().value<MtuPreference *>();
}
