#pragma once

#include "core/GeoLocation.h"
#include "core/SemVer.h"

#include <QObject>
#include <QString>

class QNetworkAccessManager;

// Asks the update host where this machine appears to be, retrying failed
// requests with growing time-outs, and reports the location when the reply
// holds one.
class WhatIsMyLocation : public QObject
{
    Q_OBJECT

public:
    static constexpr int MAXIMUM_ATTEMPTS = 20;
    static constexpr int TIMEOUT_UNIT_MS = 2000;

    WhatIsMyLocation(QNetworkAccessManager *manager, const QString &appName, const SemVer &version, const QString &url,
                     int count = 0, bool stopFlag = false, QObject *parent = nullptr);

    // Milliseconds of silence allowed to the given attempt (1 for the first).
    static int attemptTimeout(int count) { return count * count * TIMEOUT_UNIT_MS; }

    // The location in a reply body; false when the body holds none.
    // Coordinates may be JSON strings or numbers.
    static bool parseLocation(const QByteArray &body, GeoLocation &location);

    int getCount() const { return m_count; }

public slots:
    void queryMyLocation();
    void doQueryMyLocation();
    // Lets the attempt in flight finish but makes no further attempt.
    void stop();

signals:
    void updateLocation(GeoLocation location);

private slots:
    void onSuccess(const QByteArray &body);
    void onFailure();

private:
    QNetworkAccessManager *m_manager;
    QString m_appName;
    SemVer m_version;
    QString m_url;
    int m_count;
    bool m_stopFlag;
};
