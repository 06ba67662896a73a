#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

// Acts on the next modal dialog as soon as its event loop runs; an action that
// closes the dialog answers it. Driven by events, never by waiting.
inline void whenModal(const std::function<void(QWidget &)> &act, int attempts = 100)
{
    QTimer::singleShot(0, qApp, [act, attempts] {
        if (QWidget *modal = QApplication::activeModalWidget())
            act(*modal);
        else if (attempts > 0)
            whenModal(act, attempts - 1);
        else
            qWarning("whenModal: no modal dialog appeared");
    });
}
