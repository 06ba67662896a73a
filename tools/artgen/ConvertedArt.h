#pragma once

#include <QImage>
#include <QString>

// Images taken from Debian's public-domain art packages and converted to the
// client's sizes: flags of iso-flags-png-320x240 and icons of tango-icon-theme.
class ConvertedArt
{
public:
    // Where the flag body lies in the package's 320 x 240 pictures (without
    // the drop shadow), and the size of the client's flags.
    static const QRect FLAG_BODY;
    static const QSize FLAG_SIZE;

    // A null image when the file cannot be read or is not a 320 x 240 flag.
    static QImage flag(const QString &path);
    // The icon with its colours turned to grey; alpha kept.
    static QImage desaturated(const QImage &icon);
};
