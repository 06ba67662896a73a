#include "prefs/UserStatistics.h"

#include "catalogue/HalvorixServerSite.h"
#include "prefs/PrefsLogging.h"
#include "prefs/Settings.h"

#include <QDebug>
#include <QSettings>

#include <exception>

UserStatistics UserStatistics::INSTANCE;
const QString UserStatistics::USER_STATISTICS = QStringLiteral("user-statistics");
const QString UserStatistics::SERVER_FRECUENCY_USAGE = QStringLiteral("serverFrequencyUsage");

void UserStatistics::initEmptyUserStatistics()
{
    INSTANCE.clearInternalStatistics();
}

void UserStatistics::initUserStatistics()
{
    INSTANCE.fillStatisticsFromSettings();
}

UserStatistics &UserStatistics::getUserStatistics()
{
    return INSTANCE;
}

void UserStatistics::fillStatisticsFromSettings()
{
    try {
        const QVariantMap stored = Settings().getUserStatisticsMap();
        if (stored.contains(SERVER_FRECUENCY_USAGE))
            m_usage = convertMapQVariantToUInt(stored.value(SERVER_FRECUENCY_USAGE).toMap());
    } catch (const std::exception &) {
        qCDebug(lcPrefs) << "Warning: could not recover user statistics.";
        resetStatistics();
    }
}

void UserStatistics::clearInternalStatistics()
{
    m_usage.clear();
}

void UserStatistics::resetStatistics()
{
    m_usage.clear();
    saveUserStatistics();
}

void UserStatistics::saveUserStatistics() const
{
    Settings().saveUserStatistics(*this);
}

void UserStatistics::writeToSettings(QSettings &settings) const
{
    QVariantMap stored;
    stored.insert(SERVER_FRECUENCY_USAGE, convertMapUIntToQVariant(m_usage));
    settings.setValue(USER_STATISTICS, stored);
}

void UserStatistics::addOneUsageToServer(const HalvorixServerSite &site)
{
    addOneUsageToServer(site.getId());
}

void UserStatistics::addOneUsageToServer(const QString &siteId)
{
    m_usage[siteId] = m_usage.value(siteId, 0) + 1;
}

QMap<QString, unsigned int> UserStatistics::convertMapQVariantToUInt(const QVariantMap &stored) const
{
    QMap<QString, unsigned int> counts;
    for (auto it = stored.cbegin(); it != stored.cend(); ++it) {
        bool ok = false;
        const unsigned int count = it.value().toUInt(&ok);
        if (ok)
            counts.insert(it.key(), count);
    }
    return counts;
}

QVariantMap UserStatistics::convertMapUIntToQVariant(const QMap<QString, unsigned int> &counts) const
{
    QVariantMap stored;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        stored.insert(it.key(), it.value());
    return stored;
}
