#pragma once

#include "core/SemVer.h"

#include <QObject>
#include <QPointer>
#include <QString>

class QNetworkAccessManager;
class QUrl;
class ReplyHandler;

// Keeps the installed configuration archive up to date from the update host:
// fetches config.txt and, when it announces a newer archive (or none valid is
// installed), downloads and installs that archive.
class WebConfigSource : public QObject
{
    Q_OBJECT

public:
    // Silence after which a request counts as failed; a hung host must not block
    // every later check.
    static constexpr int DEFAULT_INACTIVITY_TIMEOUT_MS = 30000;
    static constexpr qint64 MAX_CONFIG_TXT_BYTES = 64 * 1024;
    static constexpr qint64 MAX_CONFIG_ZIP_BYTES = 64 * 1024 * 1024;

    // credentials: "user:password" for Basic authentication; null sends none.
    WebConfigSource(QNetworkAccessManager *manager, const QString &clientIdentifier, const SemVer &version,
                    const QString &configTxtAddress, const QString &credentials, QObject *parent = nullptr);

    // "https://<update host>/Config/default.txt".
    static QString defaultConfigTxtAddress();

    void setInactivityTimeout(int milliseconds) { m_inactivityTimeoutMs = milliseconds; }

public slots:
    void checkForUpdate();

signals:
    void newConfigWasDownloaded();
    void errorMessage(const QString &message, const QString &info);

private:
    ReplyHandler *send(const QUrl &url, const QString &userAgent, const QString &label, qint64 maxBytes);
    void handleConfigTxtReply(const QByteArray &body);
    void handleConfigZipReply(const QByteArray &body);
    void failed(const QString &what);
    void downloadToMemory(const QUrl &address);

    QNetworkAccessManager *m_manager;
    const QString m_clientIdentifier;
    const SemVer m_version;
    const QString m_configTxtAddress;
    QString m_credentials;
    QPointer<ReplyHandler> m_inProgress;
    QString m_lastError;
    int m_announcedVersion = 0;
    QString m_announcedMd5sum;
    int m_inactivityTimeoutMs = DEFAULT_INACTIVITY_TIMEOUT_MS;
};
