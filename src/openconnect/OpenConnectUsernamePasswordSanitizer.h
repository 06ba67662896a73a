#pragma once

#include <QChar>
#include <QString>

// Cleans a user name or password for the OpenConnect command channel: control
// characters (C0, DEL, C1) are dropped and surrounding white space trimmed.
// The channel carries one raw value per line, so nothing is quoted or escaped.
class OpenConnectUsernamePasswordSanitizer
{
public:
    explicit OpenConnectUsernamePasswordSanitizer(const QString &value);

    bool containsIllegalChars() const;
    bool isIllegalChar(QChar c) const;
    QString sanitise() const;
    QString sanitiseEscape() const;
    static QString sanitiseEscape(const QString &value);

private:
    const QString m_value;
};
