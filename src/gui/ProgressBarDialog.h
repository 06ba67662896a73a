#pragma once

#include <QDialog>
#include <QScopedPointer>

namespace Ui {
class ProgressBarDialog;
}
class QLabel;
class QProgressBar;

// A progress bar with a description line and an "Abort" button.
class ProgressBarDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ProgressBarDialog(QWidget *parent = nullptr);
    ~ProgressBarDialog() override;

    void resetValuse();
    void setMinMaxValues(int minimum, int maximum);
    void setPorcentageVisibleOnProgressBar(bool visible);
    void advanceProgress(int value, const QString &description);

    const QProgressBar *progressBar() const;
    const QLabel *description() const;

signals:
    void abortButtonClicked();
    void closingDialog();

private slots:
    void on_abort_clicked();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QScopedPointer<Ui::ProgressBarDialog> m_ui;
};
