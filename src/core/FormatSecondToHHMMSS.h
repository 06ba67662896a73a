#pragma once

#include <QString>

// Formats a duration given in milliseconds as hours:minutes:seconds.
class FormatSecondToHHMMSS
{
public:
    explicit FormatSecondToHHMMSS(qint64 durationMs);

    QString toString() const;

private:
    qint64 m_durationMs;
};
