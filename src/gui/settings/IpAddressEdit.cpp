#include "gui/settings/IpAddressEdit.h"

#include "gui/settings/IpAddressValidator.h"

namespace {
// The longest address with a figure space of room on either side.
const QString WIDEST_TEXT = QStringLiteral("\u2007255.255.255.255\u2007");
const int MAXIMUM_LENGTH = 15;
} // namespace

IpAddressEdit::IpAddressEdit(QWidget *parent)
    : QLineEdit(parent)
{
    setPlaceholderText(tr("IP Address"));
    setValidator(new IpAddressValidator(this));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setMaxLength(MAXIMUM_LENGTH);
}

QSize IpAddressEdit::sizeHint() const
{
    // The line edit's own hint (frame, margins, the style's room) is made
    // for 17 "x"; the longest address takes their place.
    const QFontMetrics metrics = fontMetrics();
    QSize hint = QLineEdit::sizeHint();
    hint.rwidth() += metrics.horizontalAdvance(WIDEST_TEXT) - 17 * metrics.horizontalAdvance(QLatin1Char('x'));
    return hint;
}
