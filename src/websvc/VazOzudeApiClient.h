#pragma once

#include "core/SemVer.h"

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

    bool credentialsReady() const { return m_credentialsReadyFlag; }

public slots:
    void requestToken(const QString &user, const QString &password);

signals:
    void configTxtReady(QString configTxt);

private slots:
    void processTokenReply(const QByteArray &body);
    void onTokenFailure();

private:
    QNetworkAccessManager *m_manager;
    QString m_url;
    SemVer m_version;
    QString m_appName;
    QString m_username;
    bool m_credentialsReadyFlag = false;
};
