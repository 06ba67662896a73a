#pragma once

#include "catalogue/zip_file.h"

#include <QByteArray>

#include <vector>

// Reads a zip archive held wholly in memory: the member list from the central
// directory, and the bytes of one stored or deflated member. Deliberately narrow
// (one disk, at most 1024 members of at most 1 MiB, names of at most 64 bytes):
// the configuration archive needs no more, and every other shape is refused with
// zip_exception. Every read stays inside the data, whatever the archive claims.
class zip_archive
{
public:
    static constexpr quint32 maxEntries = 1024;
    static constexpr quint32 maxUncompressedSize = 1048576;
    static constexpr quint32 maxNameLength = 64;

    explicit zip_archive(const QByteArray &data);

    QByteArray get_file_data(const zip_file &file) const;

    std::vector<zip_file> files;

private:
    qint64 findEndOfCentralDirectory() const;
    QByteArray inflateMember(const zip_file &file, qint64 start) const;
    quint16 u16(qint64 offset) const;
    quint32 u32(qint64 offset) const;
    void requireRange(qint64 offset, qint64 length) const;

    QByteArray m_data;
};
