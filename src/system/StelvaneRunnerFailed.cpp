#include "system/StelvaneRunnerFailed.h"

StelvaneRunnerFailed::StelvaneRunnerFailed(const QString& title, const QString& text)
    : titleText(QStringLiteral("Stelvane Failed: ") + title), detail(text)
{
}
