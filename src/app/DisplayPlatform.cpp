#include "app/DisplayPlatform.h"

#include <QByteArray>

#include <cstdio>

bool DisplayPlatform::displayMissing = false;

void DisplayPlatform::useOffscreenWithoutDisplay()
{
#ifndef Q_OS_MACOS
    // A platform named by the user is kept, whatever it is: it may need no display.
    if (!qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    displayMissing = true;
#endif
}

void DisplayPlatform::useNoGlIntegration()
{
#ifndef Q_OS_MACOS
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");
#endif
}

bool DisplayPlatform::hasDisplay()
{
    return !displayMissing;
}

void DisplayPlatform::reportNoDisplay()
{
    // Straight to the terminal: the log may go to a file or nowhere.
    std::fputs("OrvalVPN: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are unset); "
               "the run modes without a window are listed by --help\n",
               stderr);
}
