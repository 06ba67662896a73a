#include "system/SystemProfilerFailed.h"

SystemProfilerFailed::SystemProfilerFailed(const QString &title, const QString &text)
    : m_titleText(QStringLiteral("SystemProfiler Failed: ") + title)
    , m_detail(text)
{
}
