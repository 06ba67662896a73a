#pragma once

#include "core/SemVer.h"
#include "core/VpnConnectionState.h"

#include <QHostAddress>
#include <QObject>
#include <QString>

class QNetworkAccessManager;

// Asks the update host which address the outside world sees for this
// machine, retrying failed requests with growing time-outs, and reports each
// step of the detection.
class WhatIsMyIp : public QObject
{
    Q_OBJECT

public:
    static constexpr int MAXIMUM_ATTEMPTS = 20;
    static constexpr int TIMEOUT_UNIT_MS = 2000;

    WhatIsMyIp(QNetworkAccessManager *manager, const QString &appName, const SemVer &version, const QString &url,
               QObject *parent = nullptr);

    // Milliseconds of silence allowed to the given attempt (1 for the first).
    static int attemptTimeout(int count) { return count * count * TIMEOUT_UNIT_MS; }

    int getCount() const { return m_count; }

public slots:
    void queryMyIp();
    void doQueryMyIp();

signals:
    void updateIp(VpnConnectionState::PublicIpDetectionState state, QHostAddress address, int count);

private slots:
    void onSuccess(const QByteArray &body);
    void onFailure();

private:
    QNetworkAccessManager *m_manager;
    QString m_appName;
    SemVer m_version;
    QString m_url;
    int m_count = 0;
};
