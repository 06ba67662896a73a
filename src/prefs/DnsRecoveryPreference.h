#pragma once

#include <QMetaType>
#include <QString>

class QSettings;

// What a start does with name servers left recorded by an unclean shutdown.
class DnsRecoveryPreference
{
public:
    enum RecoverDNSSettings : int { autoRecover = 0, forget = 1, askOnStart = 2 };

    DnsRecoveryPreference() = default;
    explicit DnsRecoveryPreference(RecoverDNSSettings choice)
        : m_choice(choice)
    {
    }

    static DnsRecoveryPreference getDnsRecoveryPreferenceDefault();
    static DnsRecoveryPreference getDnsRecoveryPreferenceAutoRecover();
    static DnsRecoveryPreference getDnsRecoveryPreferenceAskOnStart();
    static DnsRecoveryPreference getDnsRecoveryPreferenceForget();

    RecoverDNSSettings getRecoverDnsSettingsPreference() const { return m_choice; }
    QString getDisplayName() const;

    bool operator==(const DnsRecoveryPreference &other) const { return m_choice == other.m_choice; }
    bool operator!=(const DnsRecoveryPreference &other) const { return !(*this == other); }

    // Top-level key: the caller has left every group.
    static DnsRecoveryPreference readFrom(const QSettings &settings);
    void writeTo(QSettings &settings) const;

private:
    RecoverDNSSettings m_choice = autoRecover;
};

Q_DECLARE_METATYPE(DnsRecoveryPreference)
