#include "gui/MouseEventBlockingWidget.h"

#include <QMouseEvent>
#include <QWheelEvent>

MouseEventBlockingWidget::MouseEventBlockingWidget(QWidget *parent)
    : QWidget(parent)
{
}

void MouseEventBlockingWidget::acceptWhileBlocking(QEvent *event) const
{
    event->setAccepted(blocking);
}

void MouseEventBlockingWidget::mousePressEvent(QMouseEvent *event)
{
    acceptWhileBlocking(event);
}

void MouseEventBlockingWidget::mouseReleaseEvent(QMouseEvent *event)
{
    acceptWhileBlocking(event);
}

void MouseEventBlockingWidget::mouseMoveEvent(QMouseEvent *event)
{
    acceptWhileBlocking(event);
}

void MouseEventBlockingWidget::wheelEvent(QWheelEvent *event)
{
    acceptWhileBlocking(event);
}
