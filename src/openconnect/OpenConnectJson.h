#pragma once

#include <QJsonObject>

class Settings;

// "openconnect.json" of the configuration directory: the OpenConnect servers'
// default port. Read afresh by every object; an unreadable file counts as empty.
class OpenConnectJson
{
public:
    explicit OpenConnectJson(Settings &settings);

    // "port" of the "default" object; 22 when it is missing or not a whole number.
    int getOpenConnectDefaultPort() const;

private:
    QJsonObject m_root;
};
