#include "system/NetworkSetupFailed.h"

NetworkSetupFailed::NetworkSetupFailed(const QString& title, const QString& text)
    : titleText(QStringLiteral("NetworkSetup Failed: ") + title), detail(text)
{
}
