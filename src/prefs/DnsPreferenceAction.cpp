#include "prefs/DnsPreferenceAction.h"

#include "prefs/ComparableMetaType.h"
#include "prefs/PrefsLogging.h"

#include <QDebug>
#include <QSettings>

namespace {
[[maybe_unused]] const int actionMetaType = registerComparableMetaType<DnsPreferenceAction>("DnsPreferenceAction");

const char *const STORED_NONE = "DNS_PREFERENCE_NONE";
const char *const STORED_CUSTOM = "DNS_PREFERENCE_CUSTOM";
const char *const STORED_PUSHED = "DNS_PREFERENCE_PUSHED";
const char *const STORED_VPN = "DNS_PREFERENCE_VPN";
const char *const STORED_AD_BLOCKING = "DNS_PREFERENCE_AD_BLOCKING";

const char *const KEY_PREFERENCE = "dnspreference";
const char *const KEY_NAME = "dnslistentry-name";
const char *const KEY_DNS1 = "dnslistentry-dns1";
const char *const KEY_DNS2 = "dnslistentry-dns2";
const char *const KEY_EDITABLE = "dnslistentry-iseditable";

const char *const VPN_NAME = "VPN DNS";
const char *const AD_BLOCKING_NAME = "Ad Blocking DNS";

// The service's ad-blocking resolvers, reachable inside the tunnel.
const char *const AD_BLOCKING_DNS1 = "10.9.0.2";
const char *const AD_BLOCKING_DNS2 = "10.8.0.2";

QString storedText(DnsPreferenceAction::DnsPreference preference)
{
    switch (preference) {
    case DnsPreferenceAction::CUSTOM: return QLatin1String(STORED_CUSTOM);
    case DnsPreferenceAction::PUSHED: return QLatin1String(STORED_PUSHED);
    case DnsPreferenceAction::VPN: return QLatin1String(STORED_VPN);
    case DnsPreferenceAction::AD_BLOCKING: return QLatin1String(STORED_AD_BLOCKING);
    case DnsPreferenceAction::NONE: break;
    }
    return QLatin1String(STORED_NONE);
}

QString defaultStoredText(const QString &stage)
{
    if (stage == QLatin1String("dns-action-afterconnect"))
        return QLatin1String(STORED_PUSHED);
    if (stage == QLatin1String("dns-action-beforeconnect"))
        return QLatin1String(STORED_CUSTOM);
    return QLatin1String(STORED_NONE);
}

QHostAddress address(const QSettings &settings, const char *key, const char *fallback)
{
    return QHostAddress(settings.value(QLatin1String(key), QLatin1String(fallback)).toString());
}
} // namespace

DnsPreferenceAction::DnsPreferenceAction(DnsPreference preference)
    : m_preference(preference)
{
}

DnsPreferenceAction::DnsPreferenceAction(DnsPreference preference, const DnsListEntry &entry)
    : m_preference(preference)
    , m_entry(entry)
{
}

DnsPreferenceAction::DnsPreferenceAction(const DnsListEntry &entry)
    : m_preference(CUSTOM)
    , m_entry(entry)
{
}

DnsPreferenceAction DnsPreferenceAction::getDnsPreferenceActionNone()
{
    return DnsPreferenceAction(NONE);
}

DnsPreferenceAction DnsPreferenceAction::getDnsPreferenceActionPushed()
{
    return DnsPreferenceAction(PUSHED);
}

DnsPreferenceAction DnsPreferenceAction::getDnsPreferenceActionVpn()
{
    return DnsPreferenceAction(VPN, DnsListEntry(QLatin1String(VPN_NAME), QHostAddress(QStringLiteral("10.9.0.1")),
                                                 QHostAddress(QStringLiteral("10.8.0.1")), false));
}

DnsPreferenceAction DnsPreferenceAction::getDnsPreferenceActionAdBlocking()
{
    return DnsPreferenceAction(AD_BLOCKING, DnsListEntry(QLatin1String(AD_BLOCKING_NAME),
                                                         QHostAddress(QLatin1String(AD_BLOCKING_DNS1)),
                                                         QHostAddress(QLatin1String(AD_BLOCKING_DNS2)), false));
}

DnsPreferenceAction DnsPreferenceAction::getDnsPreferenceActionCustom(const DnsListEntry &entry)
{
    return DnsPreferenceAction(CUSTOM, entry);
}

QStringList DnsPreferenceAction::getNameServerDNSs() const
{
    switch (m_preference) {
    case CUSTOM:
    case VPN:
    case AD_BLOCKING: return m_entry.getDns();
    case NONE:
    case PUSHED: break;
    }
    return {};
}

QString DnsPreferenceAction::getDisplayName() const
{
    switch (m_preference) {
    case NONE: return QStringLiteral("None");
    case CUSTOM: return m_entry.getName();
    case PUSHED: return QStringLiteral("Pushed DNS");
    case VPN: return QLatin1String(VPN_NAME);
    case AD_BLOCKING: return QLatin1String(AD_BLOCKING_NAME);
    }
    qCDebug(lcPrefs) << "Error: DnsPreferenceAction with no DisplayName";
    return QString();
}

bool DnsPreferenceAction::operator==(const DnsPreferenceAction &other) const
{
    return m_preference == other.m_preference && m_entry == other.m_entry;
}

void DnsPreferenceAction::writeTo(QSettings &settings, const QString &stage) const
{
    settings.beginGroup(stage);
    settings.setValue(QLatin1String(KEY_PREFERENCE), storedText(m_preference));
    settings.setValue(QLatin1String(KEY_NAME), m_entry.getName());
    // An unset address is stored as an empty text.
    settings.setValue(QLatin1String(KEY_DNS1), m_entry.getDns1().toString());
    settings.setValue(QLatin1String(KEY_DNS2), m_entry.getDns2().toString());
    settings.setValue(QLatin1String(KEY_EDITABLE),
                      m_entry.isEditable() ? QStringLiteral("true") : QStringLiteral("false"));
    settings.endGroup();
}

DnsPreferenceAction DnsPreferenceAction::readFrom(QSettings &settings, const QString &stage)
{
    settings.beginGroup(stage);
    const QString stored = settings.value(QLatin1String(KEY_PREFERENCE), defaultStoredText(stage)).toString();
    DnsPreferenceAction action;
    if (stored == QLatin1String(STORED_NONE)) {
        action = getDnsPreferenceActionNone();
    } else if (stored == QLatin1String(STORED_PUSHED)) {
        action = getDnsPreferenceActionPushed();
    } else if (stored == QLatin1String(STORED_VPN)) {
        action = getDnsPreferenceActionVpn();
    } else if (stored == QLatin1String(STORED_AD_BLOCKING)) {
        action = getDnsPreferenceActionAdBlocking();
    } else if (stored == QLatin1String(STORED_CUSTOM)) {
        const DnsListEntry entry(
            settings.value(QLatin1String(KEY_NAME), QStringLiteral("OpenDNS")).toString(),
            address(settings, KEY_DNS1, "208.67.222.222"), address(settings, KEY_DNS2, "208.67.220.220"),
            settings.value(QLatin1String(KEY_EDITABLE), QStringLiteral("false")).toString() == QLatin1String("true"));
        action = getDnsPreferenceActionCustom(entry);
    } else {
        qCDebug(lcPrefs) << "Error: DNS_PREFERENCE not found!" << stored;
    }
    settings.endGroup();
    return action;
}
