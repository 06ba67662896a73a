#include "app/MessagePattern.h"

#include <QString>
#include <QtGlobal>

void MessagePattern::install()
{
    qSetMessagePattern(QStringLiteral("%{message}"));
}
