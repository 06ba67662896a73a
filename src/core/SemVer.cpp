#include "core/SemVer.h"

#include <QRegularExpression>

namespace {

// Negative: a ranks below b; positive: above; zero: equal.
int compareIdentifiers(const QString &a, const QString &b)
{
    bool aNumeric = false;
    bool bNumeric = false;
    const int aValue = a.toInt(&aNumeric, 10);
    const int bValue = b.toInt(&bNumeric, 10);
    if (aNumeric && bNumeric)
        return aValue < bValue ? -1 : (aValue > bValue ? 1 : 0);
    return QString::compare(a, b, Qt::CaseSensitive);
}

int comparePreRelease(const QStringList &a, const QStringList &b)
{
    // A plain version ranks above any pre-release of the same numbers.
    if (a.isEmpty() != b.isEmpty())
        return a.isEmpty() ? 1 : -1;
    const int common = qMin(a.size(), b.size());
    for (int i = 0; i < common; ++i) {
        const int order = compareIdentifiers(a.at(i), b.at(i));
        if (order != 0)
            return order;
    }
    return a.size() - b.size();
}

} // namespace

SemVer::SemVer(const QString &text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^v?(\\d+)\\.(\\d+)\\.(\\d+)(-([a-zA-Z0-9-.]+))?(\\+([a-zA-Z0-9-.]+))?$"));
    const QRegularExpressionMatch match = pattern.match(text);
    // "$" would also accept a trailing line break; the whole text must match.
    if (!match.hasMatch() || match.capturedLength(0) != text.size())
        return;
    m_major = match.captured(1).toInt(nullptr, 10);
    m_minor = match.captured(2).toInt(nullptr, 10);
    m_patch = match.captured(3).toInt(nullptr, 10);
    const QString preReleaseText = match.captured(5);
    if (!preReleaseText.isEmpty())
        m_preRelease = preReleaseText.split(QLatin1Char('.'), Qt::KeepEmptyParts);
    const QString buildText = match.captured(7);
    if (!buildText.isEmpty())
        m_build = buildText.split(QLatin1Char('.'), Qt::KeepEmptyParts);
}

QString SemVer::toString() const
{
    QString text = QStringLiteral("v%1.%2.%3").arg(m_major).arg(m_minor).arg(m_patch);
    if (!m_preRelease.isEmpty())
        text += QLatin1Char('-') + m_preRelease.join(QLatin1Char('.'));
    if (!m_build.isEmpty())
        text += QLatin1Char('+') + m_build.join(QLatin1Char('.'));
    return text;
}

bool SemVer::isOlderThan(const SemVer &other) const
{
    if (m_major != other.m_major)
        return m_major < other.m_major;
    if (m_minor != other.m_minor)
        return m_minor < other.m_minor;
    if (m_patch != other.m_patch)
        return m_patch < other.m_patch;
    return comparePreRelease(m_preRelease, other.m_preRelease) < 0;
}
