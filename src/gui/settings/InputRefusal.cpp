#include "gui/settings/InputRefusal.h"

#include <QLabel>

namespace InputRefusal {

void show(QLabel &line, const QString &reason)
{
    line.setText(reason);
    line.setVisible(!reason.isEmpty());
}

} // namespace InputRefusal
