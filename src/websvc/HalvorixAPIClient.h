#pragma once

#include <QFileInfo>
#include <QImage>
#include <QJsonObject>
#include <QObject>
#include <QString>

class QNetworkAccessManager;

// Posts the user's credentials to the account API once a tunnel is up and
// stores what comes back: the dedicated and port-forward addresses as
// dedicated-IP sites, and the branding logo.
class HalvorixAPIClient : public QObject
{
    Q_OBJECT

public:
    static const QString LOGO_FILENAME;
    static const QByteArray PROGRAM_NAME;
    static const QByteArray PROGRAM_VERSION;
    static const QString ERROR_KEY;
    static const QString LOGO_KEY;
    static const QString IPS_KEY;
    static const QString IPS_KEY_DEDICATED;
    static const QString IPS_KEY_PORT;
    static const QString IPS_KEY_PORTS;
    static const QString IPS_KEY_PROTOCOL;
    static const QString IPS_KEY_SERVER;
    static const QString IPS_KEY_TYPE;
    static const QString IPS_KEY_TYPE_DEDICATED;
    static const QString IPS_KEY_TYPE_PORTFORWARD;
    static constexpr qint64 MINIMUM_INTERVAL_BETWEEN_REQUESTS = 3600000;
    static constexpr qint64 MAXIMUM_CONFIGURATION_RESPONSE_SIZE = 1000000;
    static constexpr qint64 MAXIMUM_WHITELOGO_SIZE = 10000000;
    static constexpr int MAXIMUM_WHITELOGO_PIXMAP_SIZE_WIDTH = 2300;
    static constexpr int MAXIMUM_WHITELOGO_PIXMAP_SIZE_HEIGTH = 600;
    static constexpr int MAXIMUM_ATTEMPTS = 4;
    static constexpr int TIMEOUT_UNIT_MS = 45000;

    HalvorixAPIClient(QNetworkAccessManager *manager, const QString &url, const QString &programName,
                      const QString &programVersion, QObject *parent = nullptr);

    // Milliseconds of silence allowed to the given attempt (1 for the first).
    static int attemptTimeout(int attempt) { return attempt * TIMEOUT_UNIT_MS; }
    // The form posted to the account API.
    static QByteArray configurationRequestBody(const QString &username, const QString &password);

    void getConfiguration();
    void parseJsonForLogo(QJsonObject &reply);
    void parseJsonForIps(QJsonObject &reply);
    void downloadWhiteLabelLogo();
    bool securityCheckPixmapSize(const QImage &image) const;
    QFileInfo getWhiteLabelLogoFileInfo() const;

public slots:
    // At most one request sequence an hour.
    void makeRequest();

signals:
    void logoImageRefreshed();

private slots:
    void parseConfigurationResponse(const QByteArray &body);
    void onConfigurationFailure();
    void saveWhiteLabelLogo(const QByteArray &data);
    void onWhiteLabelLogoFailure();

private:
    QString m_url;
    QNetworkAccessManager *m_manager;
    QString m_programName;
    QString m_programVersion;
    QString m_logoUrl;
    int m_configAttempt = 0;
    int m_logoAttempt = 0;
    // Taken from the credentials store when a sequence starts: the store is
    // cleared right after, while retries still need them.
    QString m_username;
    QString m_password;
};
