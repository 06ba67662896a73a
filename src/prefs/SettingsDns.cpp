#include "prefs/Settings.h"

#include "prefs/DnsList.h"
#include "prefs/DnsPreferenceAction.h"
#include "prefs/DnsRecoveryPreference.h"
#include "prefs/SettingsKeys.h"

#include <QHostAddress>

namespace {
using SettingsKeys::KEY_DNS_STACK;

const QString KEY_CUSTOM_DNS = QStringLiteral("dns/custom-dns");
const QString DNS_GROUP = QStringLiteral("dns");
const QString STAGE_ONSTART = QStringLiteral("dns-action-onstart");
const QString STAGE_BEFORECONNECT = QStringLiteral("dns-action-beforeconnect");
const QString STAGE_AFTERCONNECT = QStringLiteral("dns-action-afterconnect");
} // namespace

// DNS state kept across runs.

DnsRecoveryPreference Settings::recoverDNSStackOnStart() const
{
    leaveGroup();
    const DnsRecoveryPreference preference = DnsRecoveryPreference::readFrom(*this);
    enterGroup();
    return preference;
}

void Settings::setRecoverDNSStackOnStart(const DnsRecoveryPreference &preference)
{
    leaveGroup();
    preference.writeTo(*this);
    enterGroup();
}

QStringList Settings::getDnsStackNames()
{
    return topLevelValue(QLatin1String(KEY_DNS_STACK)).toStringList();
}

void Settings::setDnsStackNames(const QStringList &names)
{
    setTopLevelValue(QLatin1String(KEY_DNS_STACK), names);
}

// Name-server entries.

DnsList Settings::getCustomDNS() const
{
    leaveGroup();
    DnsList list;
    const int count = readPosition().beginReadArray(KEY_CUSTOM_DNS);
    for (int i = 0; i < count; ++i) {
        readPosition().setArrayIndex(i);
        list << DnsListEntry(text("name"), QHostAddress(text("dns1")), QHostAddress(text("dns2")), true);
    }
    readPosition().endArray();
    enterGroup();
    list.addHardCodedEntries();
    return list;
}

void Settings::setCustomDNS(const DnsList &list)
{
    leaveGroup();
    // Clear first, so no entry of a longer old array survives.
    clearTopLevelGroup(KEY_CUSTOM_DNS);
    beginWriteArray(KEY_CUSTOM_DNS);
    int index = 0;
    for (const DnsListEntry &entry : list) {
        if (!entry.isEditable())
            continue;
        setArrayIndex(index++);
        store("name", entry.getName());
        // An unset address is stored as an empty text.
        store("dns1", entry.getDns1().toString());
        store("dns2", entry.getDns2().toString());
    }
    endArray();
    enterGroup();
}

// DNS actions.

DnsPreferenceAction Settings::readDnsAction(const QString &stage) const
{
    leaveGroup();
    readPosition().beginGroup(DNS_GROUP);
    const DnsPreferenceAction action = DnsPreferenceAction::readFrom(readPosition(), stage);
    readPosition().endGroup();
    enterGroup();
    return action;
}

void Settings::writeDnsAction(const DnsPreferenceAction &action, const QString &stage)
{
    leaveGroup();
    beginGroup(DNS_GROUP);
    action.writeTo(*this, stage);
    endGroup();
    enterGroup();
}

DnsPreferenceAction Settings::getDnsPreferenceActionOnStart() const
{
    return readDnsAction(STAGE_ONSTART);
}
DnsPreferenceAction Settings::getDnsPreferenceActionBeforeConnect() const
{
    return readDnsAction(STAGE_BEFORECONNECT);
}
DnsPreferenceAction Settings::getDnsPreferenceActionAfterConnect() const
{
    return readDnsAction(STAGE_AFTERCONNECT);
}
void Settings::setDnsPreferenceActionOnStart(const DnsPreferenceAction &a)
{
    writeDnsAction(a, STAGE_ONSTART);
}
void Settings::setDnsPreferenceActionBeforeConnect(const DnsPreferenceAction &a)
{
    writeDnsAction(a, STAGE_BEFORECONNECT);
}
void Settings::setDnsPreferenceActionAfterConnect(const DnsPreferenceAction &a)
{
    writeDnsAction(a, STAGE_AFTERCONNECT);
}
