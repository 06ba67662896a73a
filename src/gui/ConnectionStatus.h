#pragma once

#include <QScopedPointer>
#include <QStringList>
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
    // The state field keeps the width of the widest of the engine's state
    // names, its first text and these, so it neither cuts a state nor moves
    // when the state changes.
    void reserveWidthFor(const QStringList &texts);

protected:
    void changeEvent(QEvent *event) override;

private:
    void updateStateWidth();

    QScopedPointer<Ui::ConnectionStatus> m_ui;
    QStringList m_widthTexts;
};
