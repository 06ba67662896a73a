#pragma once

#include "websvc/SemVer.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;
class ReplyHandler;

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
    ReplyHandler *getPendingVersionRequest() const { return pendingVersionRequest.data(); }

    QString getBuildFlavor() const { return buildFlavor; }
    QString getInstallId() const { return installId; }
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

    QString buildFlavor;
    QString installId;
    QString userAgentExtra;
    QNetworkAccessManager *manager;
    QString clientId;
    SemVer version;
    QString baseUrl;
    QString token;
    QString authorization;
    int attempt = 0;
    QPointer<ReplyHandler> pendingVersionRequest;
};
