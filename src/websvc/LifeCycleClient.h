#pragma once

#include "core/SemVer.h"
#include "websvc/ReplyHandler.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;

// Asks the update service for the current client version of this platform
// and build flavour, and announces it when it is newer than the running one.
class LifeCycleClient : public QObject
{
    Q_OBJECT

public:
    static constexpr int MAXIMUM_ATTEMPTS = 4;
    static constexpr int TIMEOUT_UNIT_MS = 5000;

    // authorization: "user:password" for HTTP basic authentication; null or
    // empty sends no Authorization header.
    LifeCycleClient(QNetworkAccessManager *manager, const QString &clientId, const SemVer &version,
                    const QString &baseUrl, const QString &token, const QString &authorization,
                    QObject *parent = nullptr);

    // The version request in flight, or null; a connection start aborts it,
    // which also ends its retries.
    ReplyHandler *getPendingVersionRequest() const { return m_pendingVersionRequest.data(); }

    QString getBuildFlavor() const { return m_buildFlavor; }
    QString getInstallId() const { return m_installId; }
    QUrl checkVersionUrl() const;
    QByteArray checkVersionUrlChecksum() const;
    QByteArray userAgent() const;

    // The "flavor" of group "build" in the given INI file; "dmg" without one.
    static QString readBuildFlavor(const QString &path);

public slots:
    void checkVersion();

signals:
    void updateAvailable(QString currentVersion, QUrl downloadUrl, QUrl changelogUrl);

private slots:
    void onCheckVersionSuccess(const QByteArray &body);
    void onCheckVersionFailed();

private:
    void loadBuildFlavor();
    void loadInstallId();
    void doCheckVersion();

    QString m_buildFlavor;
    QString m_installId;
    QString m_userAgentExtra;
    QNetworkAccessManager *m_manager;
    QString m_clientId;
    SemVer m_version;
    QString m_baseUrl;
    QString m_token;
    QString m_authorization;
    int m_attempt = 0;
    QPointer<ReplyHandler> m_pendingVersionRequest;
};
