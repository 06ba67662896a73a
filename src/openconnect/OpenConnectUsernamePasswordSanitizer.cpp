#include "openconnect/OpenConnectUsernamePasswordSanitizer.h"

#include <algorithm>

OpenConnectUsernamePasswordSanitizer::OpenConnectUsernamePasswordSanitizer(const QString &value)
    : m_value(value)
{
}

bool OpenConnectUsernamePasswordSanitizer::isIllegalChar(QChar c) const
{
    const ushort unit = c.unicode();
    return unit < 0x20 || unit == 0x7F || (unit >= 0x80 && unit <= 0x9F);
}

bool OpenConnectUsernamePasswordSanitizer::containsIllegalChars() const
{
    return std::any_of(m_value.begin(), m_value.end(), [this](QChar c) { return isIllegalChar(c); });
}

QString OpenConnectUsernamePasswordSanitizer::sanitise() const
{
    QString kept;
    kept.reserve(m_value.size());
    for (const QChar c : m_value) {
        if (!isIllegalChar(c))
            kept.append(c);
    }
    return kept.trimmed();
}

QString OpenConnectUsernamePasswordSanitizer::sanitiseEscape() const
{
    return sanitise();
}

QString OpenConnectUsernamePasswordSanitizer::sanitiseEscape(const QString &value)
{
    return OpenConnectUsernamePasswordSanitizer(value).sanitiseEscape();
}
