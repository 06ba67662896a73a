#include "gui/settings/IpAddressValidator.h"

#include <QRegExp>
#include <QStringList>

IpAddressValidator::IpAddressValidator(QObject *parent)
    : QValidator(parent)
{
}

QValidator::State IpAddressValidator::validate(QString &input, int &pos) const
{
    input.replace(QRegExp(QStringLiteral("\\.+$")), QStringLiteral("."));
    pos = qMin(pos, input.length());

    static const QRegExp groupJustFilled(QStringLiteral("(\\d{1,3}\\.){0,2}\\d{3}"));
    if (m_lastText.length() < input.length() && groupJustFilled.exactMatch(input)) {
        if (pos == input.length())
            ++pos;
        input.append(QLatin1Char('.'));
    }

    const State state = classify(input);
    // A refused keystroke leaves the editor's text as it was, so it must not
    // count as the text to grow from.
    if (state != Invalid)
        m_lastText = input;
    return state;
}

QValidator::State IpAddressValidator::classify(const QString &input)
{
    if (input == QLatin1String("0.0.0.0") || input == QLatin1String("255.255.255.255"))
        return Invalid;

    static const QRegExp partial(QStringLiteral("\\d{0,3}\\.?|"
                                                "\\d{0,3}\\.\\d{0,3}\\.?|"
                                                "\\d{0,3}\\.\\d{0,3}\\.\\d{0,3}\\.?|"
                                                "\\d{0,3}\\.\\d{0,3}\\.\\d{0,3}\\.\\d{0,3}"));
    if (!partial.exactMatch(input))
        return Invalid;

    static const QRegExp complete(QStringLiteral("\\d{1,3}\\.\\d{1,3}\\.\\d{1,3}\\.\\d{1,3}"));
    if (!complete.exactMatch(input))
        return Intermediate;

    // Each group is read as decimal; a leading zero would make other parsers
    // read it as octal, so such a group is never taken as complete.
    for (const QString &group : input.split(QLatin1Char('.'))) {
        bool decimal = false;
        const int value = group.toInt(&decimal, 10);
        if (!decimal || value > 255 || (group.length() > 1 && group.startsWith(QLatin1Char('0'))))
            return Intermediate;
    }
    return Acceptable;
}
