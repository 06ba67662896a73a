#pragma once

#include <QDialog>
#include <QScopedPointer>

namespace Ui {
class LogDialog;
}

// Shows the current log file, read when the dialog opens and on "Refresh".
class LogDialog : public QDialog
{
    Q_OBJECT

public:
    explicit LogDialog(QWidget *parent = nullptr);
    ~LogDialog() override;

    void refreshLog();

private slots:
    void on_refreshLogButton_clicked();
    void on_copyToClipboardButton_clicked();
    void on_closeButton_clicked();

private:
    QScopedPointer<Ui::LogDialog> m_ui;
};
