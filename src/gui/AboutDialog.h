#pragma once

#include <QDialog>
#include <QScopedPointer>

namespace Ui {
class AboutDialog;
}

// Help > About: the banner, the product name with its version and the web site.
class AboutDialog : public QDialog
{
    Q_OBJECT

public:
    explicit AboutDialog(QWidget *parent = nullptr);
    ~AboutDialog() override;

private:
    QScopedPointer<Ui::AboutDialog> m_ui;
};
