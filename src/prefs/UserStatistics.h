#pragma once

#include <QMap>
#include <QString>
#include <QVariantMap>

class HalvorixServerSite;
class QSettings;

// How often the user connected to each server site, by site identifier.
class UserStatistics
{
public:
    static UserStatistics INSTANCE;
    static const QString USER_STATISTICS;
    static const QString SERVER_FRECUENCY_USAGE;

    static void initEmptyUserStatistics();
    static void initUserStatistics();
    static UserStatistics &getUserStatistics();

    void fillStatisticsFromSettings();
    void clearInternalStatistics();
    void resetStatistics();
    void saveUserStatistics() const;
    void writeToSettings(QSettings &settings) const;

    // Counts per site identifier; nothing is written.
    void addOneUsageToServer(const HalvorixServerSite &site);
    void addOneUsageToServer(const QString &siteId);
    QMap<QString, unsigned int> getServerFrecuencyUsage() const { return m_usage; }

    QMap<QString, unsigned int> convertMapQVariantToUInt(const QVariantMap &stored) const;
    QVariantMap convertMapUIntToQVariant(const QMap<QString, unsigned int> &counts) const;

private:
    QMap<QString, unsigned int> m_usage;
};
