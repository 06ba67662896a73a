#pragma once

#include "core/NetworkInterface.h"
#include "gui/settings/SettingsTab.h"
#include "prefs/DnsList.h"

#include <QCoreApplication>
#include <QList>

class MtuPreference;
class OsAbstraction;
class Settings;

// The Network tab of the settings form: leak protection and the kill
// switches, DNS, and the OpenVPN options. It keeps the tab's working data
// between load and save: the name-server list and the network services with
// those chosen for the interface kill switch.
class NetworkSettingsTab : public SettingsTab
{
    Q_DECLARE_TR_FUNCTIONS(SettingsWidget)

public:
    explicit NetworkSettingsTab(Ui_SettingsWidget &ui);

    // globalRouteAlreadyActive locks the two boxes the global black-hole
    // routes depend on; without a system layer no service is listed.
    void load(const Settings &settings, OsAbstraction *os, bool globalRouteAlreadyActive);
    void save(Settings &settings);

    const DnsList &dnsList() const { return m_dnsList; }
    void setDnsList(const DnsList &list) { m_dnsList = list; }
    // The entries the three DNS action lists have chosen, in stage order.
    QList<DnsListEntry> dnsEntriesInUse() const;
    // Rebuilds the three DNS action lists from the name-server list, each
    // keeping the action it showed.
    void refreshDnsPreferenceComboBoxes();

    const QList<NetworkInterface> &allInterfaces() const { return m_allInterfaces; }
    const QList<NetworkInterface> &killSwitchInterfaces() const { return m_killSwitchInterfaces; }
    void setKillSwitchInterfaces(const QList<NetworkInterface> &interfaces) { m_killSwitchInterfaces = interfaces; }

    // The MTU choice of the current item; null when no item holds one.
    MtuPreference *chosenMtu() const;

private:
    void loadLeakProtection(const Settings &settings, bool globalRouteAlreadyActive);
    void loadKillSwitch(const Settings &settings, OsAbstraction *os);
    void loadDns(const Settings &settings);
    void loadOpenVpn(const Settings &settings);

    DnsList m_dnsList;
    QList<NetworkInterface> m_allInterfaces;
    QList<NetworkInterface> m_killSwitchInterfaces;
};
