#pragma once

#include <QString>

class QLabel;

// The line next to a field that says why its value is refused: OK or Save
// greyed out without a word leaves the user guessing. The line's red comes
// from the dialog's style sheet.
namespace InputRefusal {

// Shows the reason in the line; an empty reason hides it.
void show(QLabel &line, const QString &reason);

} // namespace InputRefusal
