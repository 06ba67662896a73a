#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The line rules of the catalogue's ";"-separated members (configs2.csv and
// the deciphered stealth-proxy list): lines split at line feeds and trimmed,
// header lines (beginning "COUNTRY" in any case) skipped wherever they stand,
// fields split at ";" without quoting, each UTF-8 up to a NUL byte.
class CatalogueCsv
{
public:
    struct Row
    {
        int lineNumber = 0; // counted from 1; header lines count too
        QString line;       // the trimmed line
        QStringList fields;
    };

    static QList<Row> rows(const QByteArray &content);
};
