// config5.json as ConfigJson reads it from the configuration directory: the
// default offers and the list of every site the document names.
#include "catalogue/ConfigJson.h"
#include "prefs/Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <cstdint>

namespace {
QTemporaryDir *workDir = nullptr;
Settings *settings = nullptr;

void quiet(QtMsgType, const QMessageLogContext &, const QString &)
{
}
} // namespace

// Qt 5.15's JSON parser leaves blocks that LeakSanitizer reports as lost
// under libFuzzer; they are Qt's, not ours. Full unwinding lets the
// suppression see the parser's frame inside Qt, which has no frame pointers.
extern "C" const char *__asan_default_options()
{
    return "fast_unwind_on_malloc=0:malloc_context_size=255";
}

extern "C" const char *__lsan_default_suppressions()
{
    return "leak:QJsonDocument::fromJson\n";
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qInstallMessageHandler(quiet);
    // Never the user's own settings: everything lives in a throw-away directory.
    static QTemporaryDir dir;
    workDir = &dir;
    qputenv("XDG_CONFIG_HOME", dir.filePath("config").toUtf8());
    QCoreApplication::setOrganizationName(QStringLiteral("OrvalVPN-fuzz"));
    QCoreApplication::setApplicationName(QStringLiteral("fuzz_config_json"));
    QDir().mkpath(dir.filePath("configs"));
    QSettings().setValue(QStringLiteral("config/configDir"), dir.filePath("configs"));
    // One accessor for the whole run: QSettings keeps per-object caches that
    // would otherwise look like leaks of each input.
    static Settings shared;
    settings = &shared;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size)
{
    const QByteArray data(reinterpret_cast<const char *>(bytes), int(size));
    QFile file(workDir->filePath("configs/config5.json"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(data) != data.size())
        return 0;
    file.close();

    const ConfigJson config(*settings);
    config.getDefaultCiphers();
    const QJsonDocument document = QJsonDocument::fromJson(data);
    const QJsonObject serverSites = document.object().value(QStringLiteral("serverSites")).toObject();
    for (auto country = serverSites.begin(); country != serverSites.end(); ++country) {
        const QJsonObject cities = country.value().toObject();
        for (auto city = cities.begin(); city != cities.end(); ++city)
            config.getCipherListFromJson(country.key(), city.key());
    }
    config.getCipherListFromJson(QString(), QString());
    return 0;
}
