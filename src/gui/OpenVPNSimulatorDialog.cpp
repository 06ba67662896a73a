#include "gui/OpenVPNSimulatorDialog.h"

#include "gui/GuiLogging.h"
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
const QStringList STATES {"CONNECTING", "TCP_CONNECT", "RESOLVE",   "WAIT",         "AUTH",   "GET_CONFIG",
                          "ASSIGN_IP",  "ADD_ROUTES",  "CONNECTED", "RECONNECTING", "EXITING"};
} // namespace

OpenVPNSimulatorDialog::OpenVPNSimulatorDialog(QProcess &process, int port, const QByteArray &secret, QWidget *parent)
    : QDialog(parent)
    , m_ui(new Ui::OpenVPNSimulatorDialog)
    , m_port(port)
    , m_process(process)
{
    m_ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    qCDebug(lcGui) << "Starting simulator...";
    setWindowTitle(QStringLiteral("OpenVPN Simulator"));

    m_ui->connLogText->setReadOnly(true);
    m_ui->connLogText->setText(QStringLiteral("Starting simulator..."));
    m_ui->connLogText->append(QStringLiteral("Host: localhost - Port: %1").arg(port));

    qCDebug(lcGui) << "Socket state:" << m_socket.state();
    m_socket.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(port), QIODevice::ReadWrite);
    qCDebug(lcGui) << "Socket connecting to localhost port:" << port;
    qCDebug(lcGui) << "Socket state:" << m_socket.state();
    if (!m_socket.waitForConnected(CONNECT_TIMEOUT_MS)) {
        m_ui->connLogText->setTextBackgroundColor(QColor(QStringLiteral("red")));
        m_ui->connLogText->append(QStringLiteral("ERROR: Socket not connected! The simulator will not work!"));
    } else {
        m_socket.write("0," + secret + '\n');
    }

    m_ui->stateToSend->addItems(STATES);
    m_ui->stateToSend->setCurrentIndex(0);
    m_ui->hintCommand->setReadOnly(true);
    m_ui->hintCommand->setStyleSheet(QStringLiteral("QLineEdit {background-color: lightgray}"));
    connect(&m_socket, &QTcpSocket::readyRead, this, &OpenVPNSimulatorDialog::socketRead);
    connect(m_ui->closeSim, &QPushButton::clicked, this, &QDialog::close);
    qCDebug(lcGui) << "Socket state:" << m_socket.state();
}

OpenVPNSimulatorDialog::~OpenVPNSimulatorDialog()
{
    qCDebug(lcGui) << "Destroying simulator dialog...";
}

void OpenVPNSimulatorDialog::install()
{
    OpenVpnCommand::setSimulatorStarter([](QProcess &process, int port, const QByteArray &secret) {
        // Owned by nobody: it deletes itself when closed.
        auto *dialog = new OpenVPNSimulatorDialog(process, port, secret);
        dialog->show();
    });
}

void OpenVPNSimulatorDialog::appendHistory(const QString &colour, const QString &text)
{
    m_ui->connLogText->setTextColor(QColor(colour));
    m_ui->connLogText->append(text);
}

void OpenVPNSimulatorDialog::appendError(const QString &text)
{
    appendHistory(QStringLiteral("red"), text);
}

void OpenVPNSimulatorDialog::scrollIfWanted()
{
    if (m_ui->autoScroll->isChecked())
        m_ui->connLogText->verticalScrollBar()->setValue(m_ui->connLogText->verticalScrollBar()->maximum());
}

void OpenVPNSimulatorDialog::socketRead()
{
    const QByteArray bytes = m_socket.readAll();
    const QString text =
        QString::fromLatin1(bytes.constData(), static_cast<int>(qstrnlen(bytes.constData(), bytes.size())));
    if (text.isEmpty()) {
        m_ui->connLogText->setTextBackgroundColor(QColor(QStringLiteral("red")));
        m_ui->connLogText->append(QStringLiteral("ERROR: Socket ready for reading but nothing was read."));
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
    const QString line = m_ui->commandLine->text();
    appendHistory(QStringLiteral("green"), line);
    const bool failed = m_socket.write(line.toLatin1()) < 0 || m_socket.write("\n") < 0;
    if (failed)
        appendError(QStringLiteral("ERROR: command not sent properly"));
    m_ui->commandLine->clear();
    m_ui->hintCommand->clear();
    scrollIfWanted();
}

void OpenVPNSimulatorDialog::on_resetMex_clicked()
{
    m_ui->commandLine->clear();
    m_ui->commandLine->setFocus();
    m_ui->hintCommand->clear();
}

void OpenVPNSimulatorDialog::on_copyToClipboard_clicked()
{
    QApplication::clipboard()->setText(m_ui->connLogText->toPlainText());
}

void OpenVPNSimulatorDialog::on_clearHist_clicked()
{
    m_ui->connLogText->clear();
    m_ui->commandLine->setFocus();
}

void OpenVPNSimulatorDialog::useTemplate(const QString &line, const QString &hint)
{
    m_ui->commandLine->setText(line);
    m_ui->commandLine->setFocus();
    m_ui->hintCommand->setText(hint);
}

void OpenVPNSimulatorDialog::on_connectMex_clicked()
{
    useTemplate(QStringLiteral(">STATE:,CONNECTED,,,"), STATE_HINT);
}

void OpenVPNSimulatorDialog::on_disconnectMex_clicked()
{
    useTemplate(QStringLiteral(">STATE:,,,,"),
                QStringLiteral(">STATE:timestamp,(not CONNECTED),cause,localIP,remoteIP"));
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
    useTemplate(QStringLiteral(">STATE:,%1,,,").arg(m_ui->stateToSend->currentText()), STATE_HINT);
}

void OpenVPNSimulatorDialog::closeEvent(QCloseEvent *event)
{
    // The event can come again while the first close is still under way.
    if (!m_closing) {
        m_closing = true;
        qCDebug(lcGui) << "Stopping simulator...";
        emit m_process.finished(1, QProcess::NormalExit);
    }
    QDialog::closeEvent(event);
}
