#include "openvpn/UsernamePasswordSanitizer.h"

#include <algorithm>

UsernamePasswordSanitizer::UsernamePasswordSanitizer(const QString &text)
    : text(text)
{
}

bool UsernamePasswordSanitizer::isIllegalChar(QChar c)
{
    const ushort code = c.unicode();
    return code < 0x20 || code == 0x7F || (code & 0xFFE0) == 0x80;
}

bool UsernamePasswordSanitizer::containsIllegalChars() const
{
    return std::any_of(text.cbegin(), text.cend(), &UsernamePasswordSanitizer::isIllegalChar);
}

QString UsernamePasswordSanitizer::sanitise() const
{
    return filtered(false);
}

QString UsernamePasswordSanitizer::sanitiseEscape() const
{
    return filtered(true);
}

QString UsernamePasswordSanitizer::sanitiseEscape(const QString &text)
{
    return UsernamePasswordSanitizer(text).sanitiseEscape();
}

QString UsernamePasswordSanitizer::filtered(bool escape) const
{
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        if (isIllegalChar(c))
            continue;
        if (escape && (c == QLatin1Char('"') || c == QLatin1Char('\\')))
            result.append(QLatin1Char('\\'));
        result.append(c);
    }
    return result.trimmed();
}
