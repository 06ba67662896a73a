#pragma once

#include <QString>

// Style sheets of windows and dialogs, kept as resources.
class StyleSheetResource
{
public:
    // The whole resource as Latin-1 text; empty when it can't be opened.
    static QString read(const QString &path);
};
