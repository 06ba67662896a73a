#include "gui/ProgressBarDialog.h"

#include "ui_ProgressBarDialog.h"

#include <QDebug>
#include <QFile>

ProgressBarDialog::ProgressBarDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::ProgressBarDialog)
{
    ui->setupUi(this);
    QFile style(QStringLiteral(":/resources/progressbardialog.qss"));
    if (style.open(QIODevice::ReadOnly))
        setStyleSheet(QString::fromLatin1(style.readAll()));
    ui->progressDescripcion->clear();
    ui->progressBar->setValue(0);
    qDebug() << "ProgressDialog created";
}

ProgressBarDialog::~ProgressBarDialog() = default;

void ProgressBarDialog::resetValuse()
{
    ui->progressDescripcion->clear();
    ui->progressBar->setRange(0, 100);
    ui->progressBar->setValue(0);
}

void ProgressBarDialog::setMinMaxValues(int minimum, int maximum)
{
    ui->progressBar->setRange(minimum, maximum);
}

void ProgressBarDialog::setPorcentageVisibleOnProgressBar(bool visible)
{
    ui->progressBar->setTextVisible(visible);
}

void ProgressBarDialog::advanceProgress(int value, const QString &description)
{
    ui->progressDescripcion->setText(description);
    ui->progressBar->setValue(value);
}

const QProgressBar *ProgressBarDialog::progressBar() const
{
    return ui->progressBar;
}

const QLabel *ProgressBarDialog::description() const
{
    return ui->progressDescripcion;
}

void ProgressBarDialog::on_abort_clicked()
{
    qDebug() << "ProgressDialog aborting";
    emit abortButtonClicked();
    close();
}

void ProgressBarDialog::closeEvent(QCloseEvent *event)
{
    qDebug() << "ProgressDialog closing";
    emit closingDialog();
    QDialog::closeEvent(event);
}
