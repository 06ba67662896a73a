#pragma once

#include <QScopedPointer>
#include <QWidget>

namespace Ui {
class OrvalVPNProgressMessageGUI;
}

// One line of the start-up steps list: the step's message and its state word.
class OrvalVPNProgressMessageGUI : public QWidget
{
    Q_OBJECT

public:
    static const QString STYLESHEET_TEXT;
    static const QString STYLESHEET_PROGRESSING;
    static const QString STYLESHEET_SKIPPED;
    static const QString STYLESHEET_FAILURE;
    static const QString STYLESHEET_SUCCESS;
    static const QString PROGRESSING;
    static const QString SKIPPED;
    static const QString FAILURE;
    static const QString SUCCESS;

    explicit OrvalVPNProgressMessageGUI(const QString &message, QWidget *parent = nullptr);
    ~OrvalVPNProgressMessageGUI() override;

    void setOnGoing(const QString &toolTip);
    void setSuccess();
    void setFailure();
    void setSkipped();
    void setMessage(const QString &text);
    QString getMessage() const;
    bool isOnGoing() const;
    QString statusText() const;
    QString statusStyleSheet() const;

private:
    void setStatus(const QString &word, const QString &styleSheet, const QString &toolTip);

    QScopedPointer<Ui::OrvalVPNProgressMessageGUI> m_ui;
};
