#include "openconnect/OpenConnectJson.h"

#include "openvpn/EngineLogging.h"
#include "prefs/Settings.h"

#include <QDebug>
#include <QFile>
#include <QJsonDocument>
#include <QJsonValue>

#include <cmath>

namespace {
constexpr int FALLBACK_PORT = 22;
}

OpenConnectJson::OpenConnectJson(Settings &settings)
{
    QFile file(settings.configDir().filePath(QStringLiteral("openconnect.json")));
    if (!file.open(QIODevice::ReadOnly)) {
        qCDebug(lcEngine) << "FATAL: can not read " << file.fileName();
        return;
    }
    m_root = QJsonDocument::fromJson(file.readAll()).object();
}

int OpenConnectJson::getOpenConnectDefaultPort() const
{
    const QJsonValue port = m_root.value(QStringLiteral("default")).toObject().value(QStringLiteral("port"));
    if (!port.isDouble())
        return FALLBACK_PORT;
    const double value = port.toDouble();
    if (std::floor(value) != value || value < 0 || value > 65535)
        return FALLBACK_PORT;
    return static_cast<int>(value);
}
