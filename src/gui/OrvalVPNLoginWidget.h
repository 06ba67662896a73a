#pragma once

#include "prefs/Settings.h"

#include <QScopedPointer>
#include <QWidget>

namespace Ui {
class OrvalVPNLoginWidget;
}

// The page that asks for the account's user name and password when the
// engine wants credentials; it can remember them in the preferences.
class OrvalVPNLoginWidget : public QWidget
{
    Q_OBJECT

public:
    explicit OrvalVPNLoginWidget(QWidget *parent = nullptr);
    ~OrvalVPNLoginWidget() override;

    // Reloads the fields and the remember box from the preferences.
    void configure();
    void focusUsername();
    // Shows the "login failed" banner when the request repeats after wrong credentials.
    void authFailed(bool failed);

signals:
    void login(const QString &username, const QString &password);
    void abort();

private slots:
    void on_login_clicked();
    void on_abort_clicked();

private:
    void updateLoginEnabled();

    QScopedPointer<Ui::OrvalVPNLoginWidget> m_ui;
    Settings m_settings;
};
