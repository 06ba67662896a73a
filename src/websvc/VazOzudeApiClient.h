#pragma once

#include "websvc/SemVer.h"

#include <QObject>
#include <QString>

class QNetworkAccessManager;

// Fetches a configuration text from the token API with HTTP basic
// authentication. Each request has its own reply handler, so requests may
// overlap.
class VazOzudeApiClient : public QObject
{
    Q_OBJECT

public:
    static constexpr int REQUEST_TIMEOUT_MS = 45000;
    static constexpr qint64 MAXIMUM_REPLY_SIZE = 1000000;

    VazOzudeApiClient(QNetworkAccessManager *manager, const QString &url, const SemVer &version,
                      const QString &appName);

    bool credentialsReady() const { return credentialsReadyFlag; }

public slots:
    void requestToken(const QString &user, const QString &password);

signals:
    void configTxtReady(QString configTxt);

private slots:
    void processTokenReply(const QByteArray &body);
    void onTokenFailure();

private:
    QNetworkAccessManager *manager;
    QString url;
    SemVer version;
    QString appName;
    QString username;
    bool credentialsReadyFlag = false;
};
