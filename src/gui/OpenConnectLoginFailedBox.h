#pragma once

#include <QString>

// The notice the user sees when the OpenConnect server refused the
// credentials: a plain modal box that no backend event closes.
class OpenConnectLoginFailedBox
{
public:
    // Makes the OpenConnect driver show its login-failed notice here.
    static void install();
    static void show(const QString &message);
};
