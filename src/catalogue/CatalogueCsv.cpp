#include "catalogue/CatalogueCsv.h"

namespace {
QString field(const QByteArray &bytes)
{
    const int zero = bytes.indexOf('\0');
    return QString::fromUtf8(zero < 0 ? bytes : bytes.left(zero));
}
}

bool CatalogueCsv::isHeader(const QByteArray &trimmedLine)
{
    return trimmedLine.toUpper().startsWith("COUNTRY");
}

QList<CatalogueCsv::Row> CatalogueCsv::rows(const QByteArray &content)
{
    QList<Row> result;
    int lineNumber = 0;
    int start = 0;
    while (start < content.size()) {
        int end = content.indexOf('\n', start);
        if (end < 0)
            end = content.size();
        ++lineNumber;
        const QByteArray line = content.mid(start, end - start).trimmed();
        start = end + 1;
        if (isHeader(line))
            continue;
        Row row;
        row.lineNumber = lineNumber;
        row.line = field(line);
        for (const QByteArray &part : line.split(';'))
            row.fields.append(field(part));
        result.append(row);
    }
    return result;
}
