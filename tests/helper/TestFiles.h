#pragma once
// Whole-file reads and writes for the helper tests' fixtures.
#include <QByteArray>
#include <QString>

class TestFiles
{
public:
    // Replaces `path` with `data`; false when it could not be written whole.
    static bool write(const QString &path, const QByteArray &data);
    // What `path` holds; empty when it cannot be read.
    static QByteArray read(const QString &path);
};
