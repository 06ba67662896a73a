#include "gui/settings/LogDialog.h"

#include "app/FileMessageHandler.h"
#include "gui/StyleSheet.h"
#include "ui_LogDialog.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>

namespace {
QByteArray upToNul(const QByteArray &bytes)
{
    const int nul = bytes.indexOf('\0');
    return nul < 0 ? bytes : bytes.left(nul);
}
} // namespace

LogDialog::LogDialog(QWidget *parent)
    : QDialog(parent)
    , m_ui(new Ui::LogDialog)
{
    m_ui->setupUi(this);
    setStyleSheet(StyleSheet::fromResource(QStringLiteral(":/resources/logdialog.qss")));
    refreshLog();
}

LogDialog::~LogDialog() = default;

void LogDialog::refreshLog()
{
    QFile log(FileMessageHandler::getCurrentLog().absoluteFilePath());
    if (!log.open(QIODevice::ReadOnly))
        return;
    // Never rich text: a log line that looks like HTML would otherwise render,
    // with links that navigate inside the viewer.
    m_ui->logViewer->setPlainText(QString::fromUtf8(upToNul(log.readAll())));
}

void LogDialog::on_refreshLogButton_clicked()
{
    refreshLog();
}

void LogDialog::on_copyToClipboardButton_clicked()
{
    QGuiApplication::clipboard()->setText(m_ui->logViewer->toPlainText(), QClipboard::Clipboard);
}

void LogDialog::on_closeButton_clicked()
{
    close();
}
