#pragma once
#include <QDialog>
#include <QScopedPointer>
#include <QTcpSocket>

class QProcess;
namespace Ui {
class OpenVPNSimulatorDialog;
}

// A developer's stand-in for the OpenVPN engine: connects to the client's
// management port like the engine and sends the lines the developer types;
// closing it tells the client the engine ended.
class OpenVPNSimulatorDialog : public QDialog
{
    Q_OBJECT

public:
    // How long construction waits for the management port to accept.
    static constexpr int CONNECT_TIMEOUT_MS = 10000;

    // Connects to the management port and shows the run's `secret` there, as
    // the engine lists it; the developer plays the rest of the engine.
    OpenVPNSimulatorDialog(QProcess &process, int port, const QByteArray &secret, QWidget *parent = nullptr);
    ~OpenVPNSimulatorDialog() override;

    // Makes OpenVPN starts open this dialog when WITH_OPENVPN_SIMULATOR is "true".
    static void install();

public slots:
    void socketRead();
    void on_sendMex_clicked();
    void on_resetMex_clicked();
    void on_copyToClipboard_clicked();
    void on_clearHist_clicked();
    void on_connectMex_clicked();
    void on_disconnectMex_clicked();
    void on_passRequest_clicked();
    void on_passFail_clicked();
    void on_bytesSentRecv_clicked();
    void on_fatalError_clicked();
    void on_remote_clicked();
    void on_hold_clicked();
    void on_sendState_clicked();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void useTemplate(const QString &line, const QString &hint);
    void appendHistory(const QString &colour, const QString &text);
    void appendError(const QString &text);
    void scrollIfWanted();

    QScopedPointer<Ui::OpenVPNSimulatorDialog> m_ui;
    int m_port;
    QProcess &m_process;
    QTcpSocket m_socket;
    bool m_closing = false;
};
