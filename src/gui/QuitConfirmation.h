#pragma once

#include <QCoreApplication>

class QWidget;

// The question before quitting while a connection runs or starts, asked the
// same way from the tray and from a window.
class QuitConfirmation
{
    Q_DECLARE_TR_FUNCTIONS(QuitConfirmation)

public:
    // True for Yes; No and closing the box keep the application running.
    static bool ask(QWidget *parent);
};
