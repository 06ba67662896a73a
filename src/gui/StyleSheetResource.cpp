#include "gui/StyleSheetResource.h"

#include <QFile>

QString StyleSheetResource::read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromLatin1(file.readAll());
}
