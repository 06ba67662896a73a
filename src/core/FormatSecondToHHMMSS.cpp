#include "core/FormatSecondToHHMMSS.h"

FormatSecondToHHMMSS::FormatSecondToHHMMSS(qint64 durationMs)
    : m_durationMs(durationMs)
{
}

QString FormatSecondToHHMMSS::toString() const
{
    const qint64 hours = m_durationMs / 3600000;
    const qint64 minutes = (m_durationMs / 60000) % 60;
    const qint64 seconds = (m_durationMs / 1000) % 60;
    const QChar zero('0');
    return QStringLiteral("%1:%2:%3").arg(hours, 2, 10, zero).arg(minutes, 2, 10, zero).arg(seconds, 2, 10, zero);
}
