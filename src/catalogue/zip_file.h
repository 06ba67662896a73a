#pragma once

#include <QString>

// One member of a zip archive as its central directory describes it.
struct zip_file
{
    QString name;
    quint32 compressedSize = 0;
    quint32 uncompressedSize = 0;
    quint32 localHeaderOffset = 0;
    quint32 method = 0;
};
