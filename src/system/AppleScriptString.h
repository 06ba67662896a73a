#pragma once

#include <QString>

// Text placed into an AppleScript program as a string literal: quoted, with
// the characters that would end the literal escaped, so no text can add code.
class AppleScriptString
{
public:
    static QString quoted(const QString &text);
};
