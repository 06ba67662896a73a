#pragma once

#include <QString>
#include <QStringList>

class NetworkSetup;
class QSettings;
class StelvaneRunner;

// One network service and the name servers it has now; an empty list means it
// takes them from DHCP. The list is read once, when the value is made.
class Adapter
{
public:
    Adapter(const QString &service, NetworkSetup &networkSetup);

    QString getName() const { return m_name; }
    QStringList getNameServers() const { return m_nameServers; }

    // Stores the current list in the stage group that `settings` stands in.
    void saveNameServers(QSettings &settings) const;
    void setNameServers(StelvaneRunner &runner, const QStringList &servers) const;
    void removeNameServers(StelvaneRunner &runner) const;
    // Puts back what the stage group that `settings` stands in holds for this service.
    void restoreNameServers(StelvaneRunner &runner, const QSettings &settings) const;

private:
    QString savedKey() const;

    QString m_name;
    QStringList m_nameServers;
};
