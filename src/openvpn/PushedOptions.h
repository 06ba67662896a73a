#pragma once
#include <QHash>
#include <QHostAddress>
#include <QString>
#include <QStringList>

// The environment of the engine's up/down event: the engine's own variable
// names with their values, and whether the event was "UP" or "DOWN".
class PushedOptions
{
public:
    PushedOptions() = default;

    void setUpDown(const QString &value);
    QString getUpDown() const;

    // Takes one "name=value" text; a repeated name replaces the earlier value.
    void addOption(QString nameValue);
    QString getOption(const QString &name) const;
    QHash<QString, QString> getOptions() const;

    // foreign_option_1, _2, ... up to the first missing index.
    QStringList getForeignOptions() const;
    QStringList getDnsServers() const;
    bool hasDnsServers() const;
    QHostAddress getRouteVPNGateway() const;

private:
    QHash<QString, QString> m_options;
    QString m_upDown;
};
