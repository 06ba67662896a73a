#include "catalogue/zip_archive.h"

#include "catalogue/zip_exception.h"

#include <zlib.h>

namespace {
constexpr quint32 endOfCentralDirectorySignature = 0x06054b50;
constexpr quint32 centralDirectorySignature = 0x02014b50;
constexpr quint32 localHeaderSignature = 0x04034b50;
constexpr qint64 endOfCentralDirectorySize = 22;
constexpr qint64 centralDirectoryHeaderSize = 46;
constexpr qint64 localHeaderSize = 30;
// An end record may be followed by an archive comment of up to this many bytes.
constexpr qint64 maxCommentLength = 0xffff;
constexpr quint16 methodStored = 0;
constexpr quint16 methodDeflate = 8;
} // namespace

zip_archive::zip_archive(const QByteArray &archive)
    : m_data(archive)
{
    const qint64 end = findEndOfCentralDirectory();
    const quint32 count = u16(end + 10);
    if (count > maxEntries)
        throw zip_exception();
    qint64 position = u32(end + 16);
    if (position > m_data.size())
        throw zip_exception();

    files.reserve(count);
    for (quint32 i = 0; i < count; ++i) {
        requireRange(position, centralDirectoryHeaderSize);
        if (u32(position) != centralDirectorySignature)
            throw zip_exception();
        const quint16 method = u16(position + 10);
        if (method != methodStored && method != methodDeflate)
            throw zip_exception();
        zip_file file;
        file.method = method;
        file.compressedSize = u32(position + 20);
        file.uncompressedSize = u32(position + 24);
        if (file.uncompressedSize > maxUncompressedSize)
            throw zip_exception();
        const quint16 nameLength = u16(position + 28);
        if (nameLength > maxNameLength)
            throw zip_exception();
        file.localHeaderOffset = u32(position + 42);
        if (file.localHeaderOffset > quint32(m_data.size()))
            throw zip_exception();
        requireRange(position + centralDirectoryHeaderSize, nameLength);
        QByteArray name = m_data.mid(int(position + centralDirectoryHeaderSize), nameLength);
        const int zero = name.indexOf('\0');
        if (zero >= 0)
            name.truncate(zero);
        file.name = QString::fromUtf8(name);
        files.push_back(file);
        position += centralDirectoryHeaderSize + nameLength + u16(position + 30) + u16(position + 32);
    }
}

qint64 zip_archive::findEndOfCentralDirectory() const
{
    // Only positions with room for a whole end record can hold one, and only
    // as far back as the longest comment reaches. The comment may itself hold
    // the signature: the end record is the one whose comment ends the data.
    const qint64 size = m_data.size();
    const qint64 lowest = qMax<qint64>(0, size - endOfCentralDirectorySize - maxCommentLength);
    for (qint64 position = size - endOfCentralDirectorySize; position >= lowest; --position) {
        if (u32(position) == endOfCentralDirectorySignature
            && position + endOfCentralDirectorySize + u16(position + 20) == size)
            return position;
    }
    throw zip_exception();
}

QByteArray zip_archive::get_file_data(const zip_file &file) const
{
    const qint64 header = file.localHeaderOffset;
    requireRange(header, localHeaderSize);
    if (u32(header) != localHeaderSignature)
        throw zip_exception();
    const qint64 start = header + localHeaderSize + u16(header + 26) + u16(header + 28);
    if (file.uncompressedSize > maxUncompressedSize)
        throw zip_exception();

    if (file.method == methodStored) {
        if (file.compressedSize != file.uncompressedSize)
            throw zip_exception();
        requireRange(start, file.uncompressedSize);
        return m_data.mid(int(start), int(file.uncompressedSize));
    }
    if (file.method == methodDeflate)
        return inflateMember(file, start);
    throw zip_exception();
}

QByteArray zip_archive::inflateMember(const zip_file &file, qint64 start) const
{
    requireRange(start, file.compressedSize);
    QByteArray result(int(file.uncompressedSize), '\0');

    z_stream stream {};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        throw zip_exception();
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(m_data.constData() + start));
    stream.avail_in = file.compressedSize;
    stream.next_out = reinterpret_cast<Bytef *>(result.data());
    stream.avail_out = file.uncompressedSize;
    const int status = inflate(&stream, Z_FINISH);
    const uInt outputLeft = stream.avail_out;
    inflateEnd(&stream);

    // The stream must end exactly where the announced size ends: a shorter
    // member would otherwise come back padded with zero bytes.
    if (status != Z_STREAM_END || outputLeft != 0)
        throw zip_exception();
    return result;
}

void zip_archive::requireRange(qint64 offset, qint64 length) const
{
    if (offset < 0 || length < 0 || offset > m_data.size() || length > m_data.size() - offset)
        throw zip_exception();
}

quint16 zip_archive::u16(qint64 offset) const
{
    requireRange(offset, 2);
    const auto *p = reinterpret_cast<const uchar *>(m_data.constData() + offset);
    return quint16(p[0] | (p[1] << 8));
}

quint32 zip_archive::u32(qint64 offset) const
{
    requireRange(offset, 4);
    const auto *p = reinterpret_cast<const uchar *>(m_data.constData() + offset);
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}
