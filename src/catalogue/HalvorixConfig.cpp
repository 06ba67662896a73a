#include "catalogue/HalvorixConfig.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {
const QString configDirKey = QStringLiteral("config/configDir");

QString recordedConfigDir(const QSettings &settings)
{
    return settings.value(configDirKey).toString();
}
}

bool HalvorixConfig::hasValidConfig()
{
    const QSettings settings;
    const QString dir = recordedConfigDir(settings);
    return !dir.isEmpty() && QFileInfo(dir).isDir();
}

void HalvorixConfig::remove()
{
    QSettings settings;
    const QString dir = recordedConfigDir(settings);
    if (dir.isEmpty() || !QFileInfo(dir).isDir())
        return;
    QDir(dir).removeRecursively();
    settings.remove(configDirKey);
    settings.remove(QStringLiteral("config/version"));
    settings.remove(QStringLiteral("config/md5sum"));
    settings.sync();
}

bool HalvorixConfig::toBool(const QString &text)
{
    const QString upper = text.toUpper();
    return upper == QLatin1String("YES") || upper == QLatin1String("TRUE");
}
