#pragma once

#include <QString>

// Style sheets of the windows and dialogs, kept as resources.
namespace StyleSheet {
// The resource read whole as Latin-1 text up to its first NUL byte; the empty
// text when it can't be opened.
QString fromResource(const QString &path);
} // namespace StyleSheet
