#pragma once

#include "catalogue/HalvorixServerSite.h"
#include "core/ByteCount.h"

#include <QDateTime>
#include <QScopedPointer>
#include <QSharedPointer>
#include <QTimer>
#include <QWidget>

class ConnectionParameters;
class VpnConnectionState;

namespace Ui {
class OrvalVPNStatusWidget;
}

// The page of a running connection: the site, what the connection uses, the
// engine's state, the addresses, the traffic and the connected time, with
// Disconnect, "detect the public IP again" and the pin of the server address.
class OrvalVPNStatusWidget : public QWidget
{
    Q_OBJECT

public:
    explicit OrvalVPNStatusWidget(QWidget *parent = nullptr);
    ~OrvalVPNStatusWidget() override;

    // The page that the "Verified" link of the public address opens.
    void setUpdateServer(const QString &address);
    // The connected time shown, in milliseconds.
    qint64 getConnectionSeconds() const;

signals:
    void stopOpenVpn();
    void refreshPublicIp();

public slots:
    void initialize(QSharedPointer<ConnectionParameters> parameters);
    void onUpdateState(const VpnConnectionState &connectionState);
    void onUpdateByteCount(ByteCount byteCount);
    void on_disconnect_clicked();
    void on_refreshPublicIp_clicked();
    void refreshConnectionTime();
    void on_pinServerIP_clicked();

protected:
    // Shows the connected time and the counts that arrived while hidden.
    void showEvent(QShowEvent *event) override;

private:
    // Not hidden, nor in a minimised window: what changes every second (the
    // connected time, the counts) is only kept meanwhile, since each new text
    // lays the whole window out again.
    bool canBeSeen() const;
    void showConnectionTime();
    void showByteCount();
    void onUpdateState(const QString &state, const QString &cause, const QString &localIp, const QString &remoteIp);
    // Why the engine tries again; hidden when empty.
    void showFailure(const QString &text);
    void tlsCipherChanged(bool isPfs, const QString &tlsVersion, const QString &cipherInfo);
    void onPublicIp(const VpnConnectionState &connectionState);
    void updateRemoteIp(const QString &state, const QString &remoteIp);

    QScopedPointer<Ui::OrvalVPNStatusWidget> m_ui;
    QTimer m_connectionTimer;
    HalvorixServerSite m_serverSite;
    qint64 m_connectionTime = 0;
    QDateTime m_connectedAt;
    QString m_lastState;
    QString m_lastRemoteIp;
    QString m_updateServer;
    ByteCount m_byteCount;
    bool m_byteCountShown = true;
    bool m_connectionTimeShown = true;
};
