#include "catalogue/CatalogueCsv.h"

#include <cctype>
#include <cstring>

namespace {

// UTF-8 text of [begin, end), up to a NUL byte if it holds one.
QString text(const char *begin, const char *end)
{
    const void *zero = std::memchr(begin, '\0', size_t(end - begin));
    return QString::fromUtf8(begin, int((zero ? static_cast<const char *>(zero) : end) - begin));
}

bool isSpace(char c)
{
    return std::isspace(static_cast<unsigned char>(c));
}

} // namespace

// Called for every site-list rebuild on catalogues of thousands of lines:
// works on the bytes in place and allocates only the texts it returns.
QList<CatalogueCsv::Row> CatalogueCsv::rows(const QByteArray &content)
{
    QList<Row> result;
    const char *const data = content.constData();
    const char *const end = data + content.size();
    int lineNumber = 0;
    for (const char *start = data; start < end;) {
        const char *newline = static_cast<const char *>(std::memchr(start, '\n', size_t(end - start)));
        const char *lineEnd = newline ? newline : end;
        const char *next = newline ? newline + 1 : end;
        ++lineNumber;
        while (start < lineEnd && isSpace(*start))
            ++start;
        while (lineEnd > start && isSpace(lineEnd[-1]))
            --lineEnd;
        if (lineEnd - start >= 7 && qstrnicmp(start, "COUNTRY", 7) == 0) { // a header, wherever it stands
            start = next;
            continue;
        }
        Row row;
        row.lineNumber = lineNumber;
        row.line = text(start, lineEnd);
        for (const char *field = start;;) {
            const char *semicolon = static_cast<const char *>(std::memchr(field, ';', size_t(lineEnd - field)));
            row.fields.append(text(field, semicolon ? semicolon : lineEnd));
            if (!semicolon)
                break;
            field = semicolon + 1;
        }
        result.append(row);
        start = next;
    }
    return result;
}
