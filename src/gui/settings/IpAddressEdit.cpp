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
    return QSize(fontMetrics().boundingRect(WIDEST_TEXT).width(), QLineEdit::sizeHint().height());
}
