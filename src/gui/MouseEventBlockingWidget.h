#pragma once

#include <QWidget>

// A container that, while blocking, keeps mouse input from its parent:
// presses, releases, moves and wheel turns that reach it stop here.
// Otherwise they go on to the parent as if it were not there.
class MouseEventBlockingWidget : public QWidget
{
    Q_OBJECT

public:
    explicit MouseEventBlockingWidget(QWidget *parent = nullptr);

    bool blocking = false;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    void acceptWhileBlocking(QEvent *event) const;
};
