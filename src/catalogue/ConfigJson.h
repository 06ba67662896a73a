#pragma once

#include "catalogue/OpenVpnConfigCipher.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>

#include <functional>

class Settings;

// The cipher offers of "config5.json": one default list for every site and
// optional lists per country and city. Read once per object, never written.
class ConfigJson
{
public:
    // Reads the file from the configuration directory; a missing, unreadable
    // or malformed file leaves every list empty.
    explicit ConfigJson(Settings &settings);

    QList<OpenVpnConfigCipher> getDefaultCiphers() const;
    // The site's own list when it has one (even an empty one), else the defaults.
    QList<OpenVpnConfigCipher> getCipherListFromJson(const QString &country, const QString &city) const;
    // Throws std::invalid_argument when the offer's values are rejected.
    OpenVpnConfigCipher getCipherFromJson(const QJsonValue &value) const;

private:
    // Builds every offer of the array; a rejected one is logged by onRejected and left out.
    QList<OpenVpnConfigCipher> ciphersFrom(const QJsonValue &array, const std::function<void()> &onRejected) const;

    QJsonObject m_root;
};
