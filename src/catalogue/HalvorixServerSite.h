#pragma once

#include <QString>

// One server site of the catalogue.
class HalvorixServerSite
{
public:
    enum Protocol { UDP = 0, TCP = 1 };

    // "UDP" or "TCP"; anything else is logged and taken as UDP.
    static QString toString(Protocol protocol);
    // Case-insensitive; anything else is logged and taken as UDP.
    static Protocol fromString(const QString& text);
};
