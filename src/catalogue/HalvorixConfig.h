#pragma once

#include <QString>

// Stateless reader of the unpacked configuration archive. Every call reads the
// settings and the catalogue files anew: a freshly installed archive is seen
// by the next call without any notification.
class HalvorixConfig
{
public:
    // A configuration directory is recorded and exists.
    static bool hasValidConfig();
    // Deletes the installed configuration and forgets it.
    static void remove();

    static bool toBool(const QString &text);
};
