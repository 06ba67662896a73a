#pragma once

#include "prefs/DnsListEntry.h"

#include <QMetaType>
#include <QString>
#include <QStringList>

class QSettings;

// What the client does with the system's name servers at one moment
// (program start, before connecting, after the tunnel is up).
class DnsPreferenceAction
{
public:
    enum DnsPreference : int { NONE = 0, CUSTOM = 1, PUSHED = 2, VPN = 3, AD_BLOCKING = 4 };

    DnsPreferenceAction() = default;
    explicit DnsPreferenceAction(DnsPreference preference);
    DnsPreferenceAction(DnsPreference preference, const DnsListEntry &entry);
    explicit DnsPreferenceAction(const DnsListEntry &entry);

    static DnsPreferenceAction getDnsPreferenceActionNone();
    static DnsPreferenceAction getDnsPreferenceActionPushed();
    static DnsPreferenceAction getDnsPreferenceActionVpn();
    static DnsPreferenceAction getDnsPreferenceActionAdBlocking();
    static DnsPreferenceAction getDnsPreferenceActionCustom(const DnsListEntry &entry);

    DnsPreference getPreference() const { return m_preference; }
    DnsListEntry getDnsListEntry() const { return m_entry; }
    QStringList getNameServerDNSs() const;
    QString getDisplayName() const;

    bool operator==(const DnsPreferenceAction &other) const;
    bool operator!=(const DnsPreferenceAction &other) const { return !(*this == other); }

    // The caller has opened the group "dns"; stage is the subgroup name.
    void writeTo(QSettings &settings, const QString &stage) const;
    static DnsPreferenceAction readFrom(QSettings &settings, const QString &stage);

private:
    DnsPreference m_preference = NONE;
    DnsListEntry m_entry;
};

Q_DECLARE_METATYPE(DnsPreferenceAction)
