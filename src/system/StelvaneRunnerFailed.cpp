#include "system/StelvaneRunnerFailed.h"

StelvaneRunnerFailed::StelvaneRunnerFailed(const QString &title, const QString &text)
    : m_titleText(QStringLiteral("Stelvane Failed: ") + title)
    , m_detail(text)
{
}
