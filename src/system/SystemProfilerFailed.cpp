#include "system/SystemProfilerFailed.h"

SystemProfilerFailed::SystemProfilerFailed(const QString& title, const QString& text)
    : titleText(QStringLiteral("SystemProfiler Failed: ") + title), detail(text)
{
}
