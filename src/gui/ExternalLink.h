#pragma once

#include <QString>
#include <QUrl>

#include <functional>

class QLabel;

// The one way the GUI opens a web page: only https addresses with a host go to
// the browser. A link taken from a translation or a page text that is relative,
// empty or of another scheme ("APPLICATION_URL", "file:", "javascript:") is
// refused and logged instead of handed to the desktop.
class ExternalLink
{
public:
    using Opener = std::function<bool(const QUrl &)>;

    static bool isAcceptable(const QUrl &url);
    // Opens the link when it is acceptable; returns whether it was opened.
    static bool open(const QString &link);
    // Makes the label's links go through open() instead of Qt's own opening.
    static void attach(QLabel &label);
    // Replaces the browser (QDesktopServices) for tests; an empty one restores it.
    static void setOpener(Opener opener);
};
