#pragma once

#include <QLabel>

// A label that reports a mouse press as clicked(); its text is plain text.
class ClickableLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ClickableLabel(QWidget *parent = nullptr);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    // The press that began the double-click has clicked already; the base
    // handling would take this second press for another click.
    void mouseDoubleClickEvent(QMouseEvent *event) override;
};
