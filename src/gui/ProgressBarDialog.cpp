#include "gui/ProgressBarDialog.h"

#include "gui/GuiLogging.h"
#include "ui_ProgressBarDialog.h"

#include <QDebug>
#include <QFile>

ProgressBarDialog::ProgressBarDialog(QWidget *parent)
    : QDialog(parent)
    , m_ui(new Ui::ProgressBarDialog)
{
    m_ui->setupUi(this);
    QFile style(QStringLiteral(":/resources/progressbardialog.qss"));
    if (style.open(QIODevice::ReadOnly))
        setStyleSheet(QString::fromLatin1(style.readAll()));
    m_ui->progressDescripcion->clear();
    m_ui->progressBar->setValue(0);
    qCDebug(lcGui) << "ProgressDialog created";
}

ProgressBarDialog::~ProgressBarDialog() = default;

void ProgressBarDialog::resetValuse()
{
    m_ui->progressDescripcion->clear();
    m_ui->progressBar->setRange(0, 100);
    m_ui->progressBar->setValue(0);
}

void ProgressBarDialog::setMinMaxValues(int minimum, int maximum)
{
    m_ui->progressBar->setRange(minimum, maximum);
}

void ProgressBarDialog::setPorcentageVisibleOnProgressBar(bool visible)
{
    m_ui->progressBar->setTextVisible(visible);
}

void ProgressBarDialog::advanceProgress(int value, const QString &description)
{
    m_ui->progressDescripcion->setText(description);
    m_ui->progressBar->setValue(value);
}

const QProgressBar *ProgressBarDialog::progressBar() const
{
    return m_ui->progressBar;
}

const QLabel *ProgressBarDialog::description() const
{
    return m_ui->progressDescripcion;
}

void ProgressBarDialog::on_abort_clicked()
{
    qCDebug(lcGui) << "ProgressDialog aborting";
    emit abortButtonClicked();
    close();
}

void ProgressBarDialog::closeEvent(QCloseEvent *event)
{
    qCDebug(lcGui) << "ProgressDialog closing";
    emit closingDialog();
    QDialog::closeEvent(event);
}
