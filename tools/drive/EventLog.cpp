#include "EventLog.h"

#include <cstdio>

EventLog::EventLog()
{
    m_clock.start();
}

void EventLog::print(const QString &event) const
{
    const QByteArray line = QStringLiteral("[%1] %2\n").arg(m_clock.elapsed()).arg(oneLine(event)).toUtf8();
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fflush(stdout);
}

QString EventLog::oneLine(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\\n"));
    text.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    text.replace(QLatin1Char('\r'), QLatin1String("\\n"));
    return text;
}
