#pragma once

#include <QMessageBox>

// A message box that, closed by its window frame or by close(), ends its
// exec() with a fixed button as if that button had been pressed.
class VyxMessageBox : public QMessageBox
{
    Q_OBJECT

public:
    VyxMessageBox(QWidget *parent, QMessageBox::StandardButton closeResult);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    const QMessageBox::StandardButton m_closeResult;
};
