#pragma once
#include <QChar>
#include <QString>

// Makes a user name or password safe inside a double-quoted parameter of the
// line-based management protocol: control characters are dropped, surrounding
// white space trimmed, and backslash and double quote escaped.
class UsernamePasswordSanitizer
{
public:
    explicit UsernamePasswordSanitizer(const QString &text);

    static bool isIllegalChar(QChar c);
    bool containsIllegalChars() const;
    QString sanitise() const;
    QString sanitiseEscape() const;
    static QString sanitiseEscape(const QString &text);

private:
    QString filtered(bool escape) const;

    const QString text;
};
