#pragma once

#include <QMetaType>
#include <QString>

class QSettings;

// One network service of the system, named as the system's network
// configuration names it (for example "Wi-Fi").
class NetworkInterface
{
public:
    NetworkInterface() = default;
    explicit NetworkInterface(const QString &name)
        : m_name(name)
    {
    }
    NetworkInterface(const NetworkInterface &) = default;
    NetworkInterface &operator=(const NetworkInterface &) = default;
    virtual ~NetworkInterface() = default;

    QString getName() const { return m_name; }

    bool operator==(const NetworkInterface &other) const { return m_name == other.m_name; }
    bool operator!=(const NetworkInterface &other) const { return !(*this == other); }

    // The service's kill-switch record, in the group the caller has open.
    void writeTo(QSettings &settings) const;
    void removeFrom(QSettings &settings) const;
    bool isInternetKillSwitchInterface(const QSettings &settings) const;

private:
    QString killSwitchKey() const;

    QString m_name;
};

Q_DECLARE_METATYPE(NetworkInterface)
