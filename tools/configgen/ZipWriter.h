#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Writes a zip archive in memory: local headers, central directory and end
// record, members stored or raw-deflated. Used to pack the configuration
// archives and, in tests, to build archives that can then be damaged on purpose.
class ZipWriter
{
public:
    enum Method { Stored = 0, Deflated = 8 };

    struct Member
    {
        QString name;
        QByteArray data;
        Method method = Deflated;
    };

    static QByteArray write(const QList<Member> &members, const QByteArray &comment = QByteArray());
    static QByteArray rawDeflate(const QByteArray &data);
};
