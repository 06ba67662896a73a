#pragma once

#include <QScopedPointer>
#include <QWidget>

namespace Ui {
class ConnectionStatus;
}

// "Status:" and the connection's current state, for the main window's status bar.
class ConnectionStatus : public QWidget
{
    Q_OBJECT

public:
    explicit ConnectionStatus(QWidget *parent = nullptr);
    ~ConnectionStatus() override;

    // The text is shown as it is (an engine state name is never markup).
    void setState(const QString &state);

private:
    QScopedPointer<Ui::ConnectionStatus> m_ui;
};
