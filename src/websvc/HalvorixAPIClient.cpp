#include "websvc/HalvorixAPIClient.h"

#include "catalogue/CountryCode.h"
#include "catalogue/HalvorixServerSite.h"
#include "catalogue/ServerSitePortFilter.h"
#include "catalogue/ServerSiteProtocolFilter.h"
#include "prefs/Settings.h"
#include "websvc/CredentialsStore.h"
#include "websvc/ReplyHandler.h"
#include "websvc/WebsvcLogging.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QUrl>

#include <algorithm>

const QString HalvorixAPIClient::LOGO_FILENAME = QStringLiteral("WhiteLabelLogo.png");
const QByteArray HalvorixAPIClient::PROGRAM_NAME = "X-PROGRAM-NAME";
const QByteArray HalvorixAPIClient::PROGRAM_VERSION = "X-PROGRAM-VERSION";
const QString HalvorixAPIClient::ERROR_KEY = QStringLiteral("error");
const QString HalvorixAPIClient::LOGO_KEY = QStringLiteral("logo");
const QString HalvorixAPIClient::IPS_KEY = QStringLiteral("ips");
const QString HalvorixAPIClient::IPS_KEY_DEDICATED = QStringLiteral("Dedicated");
const QString HalvorixAPIClient::IPS_KEY_PORT = QStringLiteral("port");
const QString HalvorixAPIClient::IPS_KEY_PORTS = QStringLiteral("ports");
const QString HalvorixAPIClient::IPS_KEY_PROTOCOL = QStringLiteral("protocol");
const QString HalvorixAPIClient::IPS_KEY_SERVER = QStringLiteral("server");
const QString HalvorixAPIClient::IPS_KEY_TYPE = QStringLiteral("type");
const QString HalvorixAPIClient::IPS_KEY_TYPE_DEDICATED = QStringLiteral("dedicated");
const QString HalvorixAPIClient::IPS_KEY_TYPE_PORTFORWARD = QStringLiteral("portforward");

namespace {

// Part of the key text the account API checks each request against.
const QByteArray KEY_CONSTANT = "Tarvik";

QByteArray md5Hex(const QByteArray &data)
{
    return QCryptographicHash::hash(data, QCryptographicHash::Md5).toHex();
}

QString countryCodeForType(const QString &type, const QString &dedicatedAddress)
{
    if (type == HalvorixAPIClient::IPS_KEY_TYPE_DEDICATED)
        return CountryCode::DedicatedIpCountryCode.getIso3Code();
    if (type == HalvorixAPIClient::IPS_KEY_TYPE_PORTFORWARD)
        return CountryCode::PortForwardIpCountryCode.getIso3Code();
    return CountryCode::findByIsoCode(dedicatedAddress).getIso3Code();
}

// A decimal text as the API sends it, or a plain JSON number; 0 otherwise.
int portOf(const QJsonValue &value)
{
    if (value.isDouble())
        return value.toInt(-1);
    return value.toString().toInt();
}

} // namespace

HalvorixAPIClient::HalvorixAPIClient(QNetworkAccessManager *manager, const QString &url, const QString &programName,
                                     const QString &programVersion, QObject *parent)
    : QObject(parent)
    , m_url(url)
    , m_manager(manager)
    , m_programName(programName)
    , m_programVersion(programVersion)
{
}

QByteArray HalvorixAPIClient::configurationRequestBody(const QString &username, const QString &password)
{
    const QByteArray user = username.toUtf8();
    const QByteArray passwordDigest = md5Hex(password.toUtf8());
    const QByteArray key = md5Hex(user + KEY_CONSTANT + passwordDigest);
    // A name holding "&", "=" or "+" must not break the form.
    return "username=" + QUrl::toPercentEncoding(username) + "&password=" + passwordDigest + "&key=" + key;
}

void HalvorixAPIClient::makeRequest()
{
    Settings settings;
    const qint64 sinceLast = settings.lastHalvorixAPIClientRequest().msecsTo(QDateTime::currentDateTimeUtc());
    if (sinceLast <= MINIMUM_INTERVAL_BETWEEN_REQUESTS) {
        qCDebug(lcWebsvc) << "HalvorixAPIClient configuration checked recently.";
        return;
    }
    m_username = CredentialsStore::getUsername();
    m_password = CredentialsStore::getPassword();
    if (m_username.isEmpty()) {
        qCDebug(lcWebsvc) << "HalvorixAPIClient: no credentials to send";
        return;
    }
    m_configAttempt = 1;
    getConfiguration();
}

void HalvorixAPIClient::getConfiguration()
{
    qCDebug(lcWebsvc) << "HalvorixAPIClient/GetConfiguration";
    QNetworkRequest request {QUrl(m_url)};
    request.setRawHeader(PROGRAM_NAME, m_programName.toUtf8());
    request.setRawHeader(PROGRAM_VERSION, m_programVersion.toUtf8());
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/x-www-form-urlencoded"));
    auto *handler = new ReplyHandler(m_manager->post(request, configurationRequestBody(m_username, m_password)),
                                     QStringLiteral("HalvorixAPIClient/CheckConfiguration"),
                                     attemptTimeout(m_configAttempt), MAXIMUM_CONFIGURATION_RESPONSE_SIZE);
    connect(handler, &ReplyHandler::failure, this, &HalvorixAPIClient::onConfigurationFailure);
    connect(handler, &ReplyHandler::success, this, &HalvorixAPIClient::parseConfigurationResponse);
}

void HalvorixAPIClient::onConfigurationFailure()
{
    qCDebug(lcWebsvc) << "HalvorixAPIClient: configuration download failed";
    ++m_configAttempt;
    if (m_configAttempt > MAXIMUM_ATTEMPTS) {
        qCDebug(lcWebsvc) << "HalvorixAPIClient: giving up after" << MAXIMUM_ATTEMPTS << "attempts";
        return;
    }
    getConfiguration();
}

void HalvorixAPIClient::parseConfigurationResponse(const QByteArray &body)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    // A proxy's or portal's page is no answer: it must not remove the logo.
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        qCDebug(lcWebsvc) << "HalvorixAPIClient: reply is not a JSON object:" << error.errorString();
        return;
    }
    Settings().setLastHalvorixAPIClientRequest(QDateTime::currentDateTimeUtc());
    QJsonObject reply = document.object();
    qCDebug(lcWebsvc) << "HalvorixAPIReplyHandler parsing response "
                      << QString::fromUtf8(document.toJson(QJsonDocument::Compact));
    if (reply.contains(ERROR_KEY)) {
        qCDebug(lcWebsvc) << "HalvorixAPIClient error getting the configuration from the server: "
                          << reply.value(ERROR_KEY).toString();
        return;
    }
    parseJsonForLogo(reply);
    parseJsonForIps(reply);
}

QFileInfo HalvorixAPIClient::getWhiteLabelLogoFileInfo() const
{
    return QFileInfo(Settings().qtDataLocation().absolutePath() + QLatin1Char('/') + LOGO_FILENAME);
}

void HalvorixAPIClient::parseJsonForLogo(QJsonObject &reply)
{
    if (reply.contains(LOGO_KEY)) {
        m_logoUrl = reply.value(LOGO_KEY).toString();
        m_logoAttempt = 1;
        downloadWhiteLabelLogo();
        return;
    }
    const QFileInfo logo = getWhiteLabelLogoFileInfo();
    if (logo.exists() && !QFile::remove(logo.absoluteFilePath()))
        qCDebug(lcWebsvc) << "Error: old logo in " << logo.absoluteFilePath() << " could not be removed.";
}

void HalvorixAPIClient::downloadWhiteLabelLogo()
{
    qCDebug(lcWebsvc) << "HalvorixAPIClient/DownloadWhiteLabelLogo";
    auto *handler = new ReplyHandler(m_manager->get(QNetworkRequest(QUrl(m_logoUrl))),
                                     QStringLiteral("HalvorixAPIClient/DownloadWhiteLabelLogo"),
                                     attemptTimeout(m_logoAttempt), MAXIMUM_WHITELOGO_SIZE);
    connect(handler, &ReplyHandler::failure, this, &HalvorixAPIClient::onWhiteLabelLogoFailure);
    connect(handler, &ReplyHandler::success, this, &HalvorixAPIClient::saveWhiteLabelLogo);
}

void HalvorixAPIClient::onWhiteLabelLogoFailure()
{
    qCDebug(lcWebsvc) << "HalvorixAPIClient: configuration download failed";
    ++m_logoAttempt;
    if (m_logoAttempt > MAXIMUM_ATTEMPTS) {
        qCDebug(lcWebsvc) << "HalvorixAPIClient: giving up the logo after" << MAXIMUM_ATTEMPTS << "attempts";
        return;
    }
    downloadWhiteLabelLogo();
}

void HalvorixAPIClient::saveWhiteLabelLogo(const QByteArray &data)
{
    m_logoAttempt = 1;
    // Judge the downloaded image itself, not whatever lies on disk.
    const QImage image = QImage::fromData(data);
    if (image.isNull()) {
        qCDebug(lcWebsvc) << "HalvorixAPIClient Warning: the downloaded logo is not an image";
        return;
    }
    if (!securityCheckPixmapSize(image))
        return;
    const QFileInfo logo = getWhiteLabelLogoFileInfo();
    // Written aside and renamed, so that a failed write keeps the old logo.
    QSaveFile file(logo.absoluteFilePath());
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        qCDebug(lcWebsvc) << "Warning: logo file was not writeable. New logo could not be saved";
        return;
    }
    qCDebug(lcWebsvc) << "Logo image saved in " << logo.absoluteFilePath();
    emit logoImageRefreshed();
}

bool HalvorixAPIClient::securityCheckPixmapSize(const QImage &image) const
{
    if (image.width() > MAXIMUM_WHITELOGO_PIXMAP_SIZE_WIDTH || image.height() > MAXIMUM_WHITELOGO_PIXMAP_SIZE_HEIGTH) {
        qCDebug(lcWebsvc) << "HalvorixAPIClient Warning: pixmap is unusually big: " << image.width() << "*"
                          << image.height() << " pixels "
                          << " while the maximum size is " << MAXIMUM_WHITELOGO_PIXMAP_SIZE_WIDTH << "*"
                          << MAXIMUM_WHITELOGO_PIXMAP_SIZE_HEIGTH;
        return false;
    }
    qCDebug(lcWebsvc) << "HalvorixAPIClient pixmap size: " << image.height() << "*" << image.width() << " pixels";
    return true;
}

void HalvorixAPIClient::parseJsonForIps(QJsonObject &reply)
{
    const QJsonArray entries = reply.value(IPS_KEY).toArray();
    if (entries.isEmpty())
        return;
    Settings settings;
    QList<HalvorixServerSite> list = settings.serverSitesWithDedicatedIp();
    for (const QJsonValue &value : entries) {
        const QJsonObject entry = value.toObject();
        qCDebug(lcWebsvc) << "DedicatedIP found: "
                          << QString::fromUtf8(QJsonDocument(entry).toJson(QJsonDocument::Compact));
        const QString dedicatedText = entry.value(IPS_KEY_DEDICATED).toString();
        const QHostAddress dedicatedAddress(dedicatedText);
        const int port = portOf(entry.value(IPS_KEY_PORT));
        const QString protocol = entry.value(IPS_KEY_PROTOCOL).toString();
        const QHostAddress serverAddress(entry.value(IPS_KEY_SERVER).toString());
        const QString type = entry.value(IPS_KEY_TYPE).toString();
        if (dedicatedAddress.isNull()) {
            qCDebug(lcWebsvc) << "Warning, dedicated server with null dedicated ip found";
            continue;
        }
        if (serverAddress.isNull()) {
            qCDebug(lcWebsvc) << "Warning, dedicated server with null server ip found";
            continue;
        }
        // The port filter refuses such a port by throwing, which no slot may do.
        if (port < 0 || port > 65535) {
            qCDebug(lcWebsvc) << "Warning, dedicated server with invalid port found";
            continue;
        }
        const ServerSiteProtocolFilter protocolFilter(protocol);
        const ServerSitePortFilter portFilter(port);
        auto existing = std::find_if(list.begin(), list.end(), [&serverAddress](const HalvorixServerSite &site) {
            return site.getDedicatedIp() == serverAddress;
        });
        if (existing != list.end()) {
            qCDebug(lcWebsvc)
                << "DedicatedIP already present in the list - port, protocol and dedicatedip will be refreshed";
            *existing =
                HalvorixServerSite::dedicatedServerSite(existing->getCountryCode(), existing->getCity(), serverAddress,
                                                        QDir(QString()), protocolFilter, portFilter);
        } else {
            list.append(HalvorixServerSite::dedicatedServerSite(countryCodeForType(type, dedicatedText), dedicatedText,
                                                                serverAddress, QDir(QString()), protocolFilter,
                                                                portFilter));
        }
    }
    settings.setServerSitesWithDedicatedIp(list);
}
