#include "gui/OpenVPNSimulatorDialog.h"
#include "ui_OpenVPNSimulatorDialog.h"

#include "openvpn/OpenVpnCommand.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDebug>
#include <QHostAddress>
#include <QProcess>
#include <QScrollBar>

namespace {
const QString STATE_HINT = QStringLiteral(">STATE:timestamp,(*)state,cause,localIP,remoteIP");
const QStringList STATES{"CONNECTING", "TCP_CONNECT", "RESOLVE",   "WAIT",         "AUTH",   "GET_CONFIG",
                         "ASSIGN_IP",  "ADD_ROUTES",  "CONNECTED", "RECONNECTING", "EXITING"};
} // namespace

OpenVPNSimulatorDialog::OpenVPNSimulatorDialog(QProcess& process, int port, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::OpenVPNSimulatorDialog)
    , port(port)
    , process(process)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    qDebug() << "Starting simulator...";
    setWindowTitle(QStringLiteral("OpenVPN Simulator"));

    ui->connLogText->setReadOnly(true);
    ui->connLogText->setText(QStringLiteral("Starting simulator..."));
    ui->connLogText->append(QStringLiteral("Host: localhost - Port: %1").arg(port));

    qDebug() << "Socket state:" << socket.state();
    socket.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(port), QIODevice::ReadWrite);
    qDebug() << "Socket connecting to localhost port:" << port;
    qDebug() << "Socket state:" << socket.state();
    if (!socket.waitForConnected(CONNECT_TIMEOUT_MS)) {
        ui->connLogText->setTextBackgroundColor(QColor(QStringLiteral("red")));
        ui->connLogText->append(QStringLiteral("ERROR: Socket not connected! The simulator will not work!"));
    }

    ui->stateToSend->addItems(STATES);
    ui->stateToSend->setCurrentIndex(0);
    ui->hintCommand->setReadOnly(true);
    ui->hintCommand->setStyleSheet(QStringLiteral("QLineEdit {background-color: lightgray}"));
    connect(&socket, &QTcpSocket::readyRead, this, &OpenVPNSimulatorDialog::socketRead);
    connect(ui->closeSim, &QPushButton::clicked, this, &QDialog::close);
    qDebug() << "Socket state:" << socket.state();
}

OpenVPNSimulatorDialog::~OpenVPNSimulatorDialog()
{
    qDebug() << "Destroying simulator dialog...";
}

void OpenVPNSimulatorDialog::install()
{
    OpenVpnCommand::setSimulatorStarter([](QProcess& process, int port) {
        // Owned by nobody: it deletes itself when closed.
        auto* dialog = new OpenVPNSimulatorDialog(process, port);
        dialog->show();
    });
}

void OpenVPNSimulatorDialog::appendHistory(const QString& colour, const QString& text)
{
    ui->connLogText->setTextColor(QColor(colour));
    ui->connLogText->append(text);
}

void OpenVPNSimulatorDialog::appendError(const QString& text)
{
    appendHistory(QStringLiteral("red"), text);
}

void OpenVPNSimulatorDialog::scrollIfWanted()
{
    if (ui->autoScroll->isChecked())
        ui->connLogText->verticalScrollBar()->setValue(ui->connLogText->verticalScrollBar()->maximum());
}

void OpenVPNSimulatorDialog::socketRead()
{
    const QByteArray bytes = socket.readAll();
    const QString text = QString::fromLatin1(bytes.constData(), static_cast<int>(qstrnlen(bytes.constData(), bytes.size())));
    if (text.isEmpty()) {
        ui->connLogText->setTextBackgroundColor(QColor(QStringLiteral("red")));
        ui->connLogText->append(QStringLiteral("ERROR: Socket ready for reading but nothing was read."));
    } else {
        appendHistory(QStringLiteral("blue"), text);
        if (text.contains(QLatin1String("signal SIGTERM")))
            appendHistory(QStringLiteral("black"),
                          QStringLiteral("Note: the user wants to close the connection. Press \"Close\" Button."));
    }
    scrollIfWanted();
}

void OpenVPNSimulatorDialog::on_sendMex_clicked()
{
    const QString line = ui->commandLine->text();
    appendHistory(QStringLiteral("green"), line);
    const bool failed = socket.write(line.toLatin1()) < 0 || socket.write("\n") < 0;
    if (failed)
        appendError(QStringLiteral("ERROR: command not sent properly"));
    ui->commandLine->clear();
    ui->hintCommand->clear();
    scrollIfWanted();
}

void OpenVPNSimulatorDialog::on_resetMex_clicked()
{
    ui->commandLine->clear();
    ui->commandLine->setFocus();
    ui->hintCommand->clear();
}

void OpenVPNSimulatorDialog::on_copyToClipboard_clicked()
{
    QApplication::clipboard()->setText(ui->connLogText->toPlainText());
}

void OpenVPNSimulatorDialog::on_clearHist_clicked()
{
    ui->connLogText->clear();
    ui->commandLine->setFocus();
}

void OpenVPNSimulatorDialog::useTemplate(const QString& line, const QString& hint)
{
    ui->commandLine->setText(line);
    ui->commandLine->setFocus();
    ui->hintCommand->setText(hint);
}

void OpenVPNSimulatorDialog::on_connectMex_clicked()
{
    useTemplate(QStringLiteral(">STATE:,CONNECTED,,,"), STATE_HINT);
}

void OpenVPNSimulatorDialog::on_disconnectMex_clicked()
{
    useTemplate(QStringLiteral(">STATE:,,,,"), QStringLiteral(">STATE:timestamp,(not CONNECTED),cause,localIP,remoteIP"));
}

void OpenVPNSimulatorDialog::on_passRequest_clicked()
{
    useTemplate(QStringLiteral(">PASSWORD:Need"), QStringLiteral(">PASSWORD:(*)Need"));
}

void OpenVPNSimulatorDialog::on_passFail_clicked()
{
    useTemplate(QStringLiteral(">PASSWORD:Verification Failed"), QStringLiteral(">PASSWORD:(*)Verification Failed"));
}

void OpenVPNSimulatorDialog::on_bytesSentRecv_clicked()
{
    useTemplate(QStringLiteral(">BYTECOUNT:,"), QStringLiteral(">BYTECOUNT:int,int"));
}

void OpenVPNSimulatorDialog::on_fatalError_clicked()
{
    useTemplate(QStringLiteral(">FATAL:"), QStringLiteral(">FATAL:error message"));
}

void OpenVPNSimulatorDialog::on_remote_clicked()
{
    useTemplate(QStringLiteral(">REMOTE:,,"), QStringLiteral(">REMOTE:host,port,protocol"));
}

void OpenVPNSimulatorDialog::on_hold_clicked()
{
    useTemplate(QStringLiteral(">HOLD:"), QStringLiteral(">HOLD:"));
}

void OpenVPNSimulatorDialog::on_sendState_clicked()
{
    useTemplate(QStringLiteral(">STATE:,%1,,,").arg(ui->stateToSend->currentText()), STATE_HINT);
}

void OpenVPNSimulatorDialog::closeEvent(QCloseEvent* event)
{
    // The event can come again while the first close is still under way.
    if (!closing) {
        closing = true;
        qDebug() << "Stopping simulator...";
        emit process.finished(1, QProcess::NormalExit);
    }
    QDialog::closeEvent(event);
}
