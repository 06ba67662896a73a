#include "ZipWriter.h"

#include <zlib.h>

#include <stdexcept>

namespace {

void put16(QByteArray &out, quint32 value)
{
    out.append(char(value & 0xff));
    out.append(char((value >> 8) & 0xff));
}

void put32(QByteArray &out, quint32 value)
{
    put16(out, value & 0xffff);
    put16(out, value >> 16);
}

// MS-DOS date 2026-01-01 00:00, so that equal inputs give byte-equal archives.
constexpr quint32 fixedDosTime = 0;
constexpr quint32 fixedDosDate = ((2026 - 1980) << 9) | (1 << 5) | 1;

} // namespace

QByteArray ZipWriter::rawDeflate(const QByteArray &data)
{
    z_stream stream {};
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2 failed");
    QByteArray out(int(deflateBound(&stream, uLong(data.size()))), '\0');
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    const int status = deflate(&stream, Z_FINISH);
    out.truncate(int(stream.total_out));
    deflateEnd(&stream);
    if (status != Z_STREAM_END)
        throw std::runtime_error("deflate failed");
    return out;
}

QByteArray ZipWriter::write(const QList<Member> &members, const QByteArray &comment)
{
    QByteArray body;
    QByteArray directory;
    for (const Member &member : members) {
        const QByteArray name = member.name.toUtf8();
        const QByteArray payload = member.method == Deflated ? rawDeflate(member.data) : member.data;
        const quint32 crc =
            quint32(crc32(0, reinterpret_cast<const Bytef *>(member.data.constData()), uInt(member.data.size())));
        const quint32 offset = quint32(body.size());

        put32(body, 0x04034b50);
        put16(body, 20);
        put16(body, 0x0800); // names are UTF-8
        put16(body, member.method);
        put16(body, fixedDosTime);
        put16(body, fixedDosDate);
        put32(body, crc);
        put32(body, quint32(payload.size()));
        put32(body, quint32(member.data.size()));
        put16(body, quint32(name.size()));
        put16(body, 0);
        body.append(name);
        body.append(payload);

        put32(directory, 0x02014b50);
        put16(directory, 20);
        put16(directory, 20);
        put16(directory, 0x0800);
        put16(directory, member.method);
        put16(directory, fixedDosTime);
        put16(directory, fixedDosDate);
        put32(directory, crc);
        put32(directory, quint32(payload.size()));
        put32(directory, quint32(member.data.size()));
        put16(directory, quint32(name.size()));
        put16(directory, 0);
        put16(directory, 0);
        put16(directory, 0);
        put16(directory, 0);
        put32(directory, 0);
        put32(directory, offset);
        directory.append(name);
    }

    QByteArray out = body + directory;
    put32(out, 0x06054b50);
    put16(out, 0);
    put16(out, 0);
    put16(out, quint32(members.size()));
    put16(out, quint32(members.size()));
    put32(out, quint32(directory.size()));
    put32(out, quint32(body.size()));
    put16(out, quint32(comment.size()));
    out.append(comment);
    return out;
}
