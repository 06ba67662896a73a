#include "gui/settings/SettingsTab.h"

#include <QComboBox>
#include <QVariant>

void SettingsTab::setCurrentItemByDataOrFirstEntry(QComboBox *combo, const QVariant &value)
{
    if (combo->count() == 0)
        return;
    const int index = combo->findData(value, Qt::UserRole, Qt::MatchExactly | Qt::MatchCaseSensitive);
    combo->setCurrentIndex(index < 0 ? 0 : index);
}
