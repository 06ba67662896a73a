#include "system/NetworkSetupFailed.h"

NetworkSetupFailed::NetworkSetupFailed(const QString &title, const QString &text)
    : m_titleText(QStringLiteral("NetworkSetup Failed: ") + title)
    , m_detail(text)
{
}
