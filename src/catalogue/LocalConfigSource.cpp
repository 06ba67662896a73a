#include "catalogue/LocalConfigSource.h"

#include "catalogue/CanNotParseConfigTxtException.h"
#include "catalogue/CatalogueLogging.h"
#include "catalogue/ConfigTxt.h"
#include "catalogue/ConfigZip.h"
#include "catalogue/ConfigZipWriteException.h"
#include "catalogue/HalvorixConfig.h"

#include <QDebug>
#include <QFile>

// The built-in archive lives in a resource compiled into this static library;
// referring to it here makes the linker keep it. Outside any namespace, as
// Q_INIT_RESOURCE requires.
static void registerBuiltInConfiguration()
{
    Q_INIT_RESOURCE(orval_config);
}

LocalConfigSource::LocalConfigSource()
{
    registerBuiltInConfiguration();
}

void LocalConfigSource::execute()
{
    qCDebug(lcCatalogue) << "LocalConfigSource/execute";

    QFile txtFile(QStringLiteral(":/config/default.txt"));
    if (!txtFile.open(QIODevice::ReadOnly)) {
        qCDebug(lcCatalogue) << "FATAL: Can not read default config.txt";
        return;
    }
    ConfigTxt txt(txtFile.readAll());
    try {
        txt.execute();
    } catch (const CanNotParseConfigTxtException &) {
        qCDebug(lcCatalogue) << "FATAL: Could not parse bundled config.txt";
        return;
    }

    if (HalvorixConfig::hasValidConfig() && !txt.isNewVersion())
        return;

    QFile zipFile(QStringLiteral(":/config/default.zip"));
    if (!zipFile.open(QIODevice::ReadOnly)) {
        qCDebug(lcCatalogue) << "FATAL: Could not open bundled config.zip";
        return;
    }
    try {
        ConfigZip(zipFile.readAll(), txt.getMd5sum(), txt.getVersion()).execute();
    } catch (const ConfigZipWriteException &e) {
        qCDebug(lcCatalogue).noquote() << "FATAL: Could not parse bundled config.zip. Error: " + e.getMessage();
    }
}
