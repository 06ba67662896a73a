#include "prefs/DnsRecoveryPreference.h"

#include "prefs/ComparableMetaType.h"
#include "prefs/PrefsLogging.h"

#include <QDebug>
#include <QSettings>

namespace {
[[maybe_unused]] const int recoveryMetaType =
    registerComparableMetaType<DnsRecoveryPreference>("DnsRecoveryPreference");

const char *const KEY = "dns/recover-dns-stack-on-connect";
const char *const AUTO_RECOVER = "autoRecover";
const char *const FORGET = "forget";
const char *const ASK_ON_START = "askOnStart";
} // namespace

DnsRecoveryPreference DnsRecoveryPreference::getDnsRecoveryPreferenceDefault()
{
    return DnsRecoveryPreference(autoRecover);
}

DnsRecoveryPreference DnsRecoveryPreference::getDnsRecoveryPreferenceAutoRecover()
{
    return DnsRecoveryPreference(autoRecover);
}

DnsRecoveryPreference DnsRecoveryPreference::getDnsRecoveryPreferenceAskOnStart()
{
    return DnsRecoveryPreference(askOnStart);
}

DnsRecoveryPreference DnsRecoveryPreference::getDnsRecoveryPreferenceForget()
{
    return DnsRecoveryPreference(forget);
}

QString DnsRecoveryPreference::getDisplayName() const
{
    switch (m_choice) {
    case autoRecover: return QStringLiteral("Auto recover");
    case forget: return QStringLiteral("No (forget information)");
    case askOnStart: return QStringLiteral("Ask on start");
    }
    return QString();
}

DnsRecoveryPreference DnsRecoveryPreference::readFrom(const QSettings &settings)
{
    const QString text = settings.value(QLatin1String(KEY), QLatin1String(AUTO_RECOVER)).toString();
    if (text == QLatin1String(ASK_ON_START))
        return DnsRecoveryPreference(askOnStart);
    if (text == QLatin1String(FORGET))
        return DnsRecoveryPreference(forget);
    if (text != QLatin1String(AUTO_RECOVER))
        qCDebug(lcPrefs) << "static DnsRecoveryPreference DnsRecoveryPreference::readFrom(const QSettings &)"
                         << "Unexpected switch value: " << text;
    return DnsRecoveryPreference(autoRecover);
}

void DnsRecoveryPreference::writeTo(QSettings &settings) const
{
    const char *text = AUTO_RECOVER;
    switch (m_choice) {
    case forget: text = FORGET; break;
    case askOnStart: text = ASK_ON_START; break;
    case autoRecover: break;
    }
    settings.setValue(QLatin1String(KEY), QLatin1String(text));
}
