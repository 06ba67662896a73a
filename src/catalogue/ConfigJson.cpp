#include "catalogue/ConfigJson.h"

#include "catalogue/CatalogueLogging.h"
#include "prefs/Settings.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

#include <cmath>
#include <limits>
#include <stdexcept>

namespace {

const QString SUPPORTED_CIPHERS = QStringLiteral("supportedCiphers");

// A JSON number that is a whole number within int range; 0 for anything else,
// so that a bad value reaches the offer's own validation as a bad port.
int wholeNumber(const QJsonValue &value)
{
    if (!value.isDouble())
        return 0;
    const double number = value.toDouble();
    if (std::floor(number) != number || number < std::numeric_limits<int>::min()
        || number > std::numeric_limits<int>::max())
        return 0;
    return static_cast<int>(number);
}

QStringList cipherNames(const QJsonValue &value)
{
    if (value.isString())
        return {value.toString()};
    QStringList names;
    for (const QJsonValue &name : value.toArray()) {
        if (name.isString())
            names.append(name.toString());
    }
    return names;
}

} // namespace

ConfigJson::ConfigJson(Settings &settings)
{
    const QString fileName = QFileInfo(settings.configDir(), QStringLiteral("config5.json")).absoluteFilePath();
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        qCDebug(lcCatalogue) << "FATAL: can not read " << fileName;
        return;
    }
    m_root = QJsonDocument::fromJson(file.readAll()).object();
}

QList<OpenVpnConfigCipher> ConfigJson::getDefaultCiphers() const
{
    return ciphersFrom(m_root.value(QStringLiteral("default")).toObject().value(SUPPORTED_CIPHERS),
                       [] { qCDebug(lcCatalogue) << "Invalid argument while parsing JSON defaults"; });
}

QList<OpenVpnConfigCipher> ConfigJson::getCipherListFromJson(const QString &country, const QString &city) const
{
    const QJsonObject site =
        m_root.value(QStringLiteral("serverSites")).toObject().value(country).toObject().value(city).toObject();
    if (!site.contains(SUPPORTED_CIPHERS))
        return getDefaultCiphers();
    return ciphersFrom(site.value(SUPPORTED_CIPHERS), [&country, &city] {
        qCDebug(lcCatalogue) << "Invalid argument while parsing JSON for country/city: " << country << city;
    });
}

OpenVpnConfigCipher ConfigJson::getCipherFromJson(const QJsonValue &value) const
{
    const QJsonObject offer = value.toObject();
    return OpenVpnConfigCipher(
        offer.value(QStringLiteral("cipher")).toString(), cipherNames(offer.value(QStringLiteral("ciphers"))),
        offer.value(QStringLiteral("protocol")).toString(), wholeNumber(offer.value(QStringLiteral("port"))),
        offer.value(QStringLiteral("auth")).toString(), offer.value(QStringLiteral("tlscrypt")).toString(),
        offer.value(QStringLiteral("tlskey")).toString(), offer.value(QStringLiteral("default")).toBool(false),
        offer.value(QStringLiteral("scrambleMethod")).toString(),
        offer.value(QStringLiteral("scrambleMask")).toString(),
        wholeNumber(offer.value(QStringLiteral("stunnel-port"))));
}

QList<OpenVpnConfigCipher> ConfigJson::ciphersFrom(const QJsonValue &array,
                                                   const std::function<void()> &onRejected) const
{
    QList<OpenVpnConfigCipher> ciphers;
    for (const QJsonValue &element : array.toArray()) {
        try {
            ciphers.append(getCipherFromJson(element));
        } catch (const std::invalid_argument &) {
            onRejected();
        }
    }
    return ciphers;
}
