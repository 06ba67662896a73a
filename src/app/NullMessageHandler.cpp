#include "app/NullMessageHandler.h"

#include "app/AppLogging.h"

#include <QDebug>

namespace {
void discardMessage(QtMsgType, const QMessageLogContext &, const QString &)
{
}
} // namespace

NullMessageHandler::NullMessageHandler()
{
    qCDebug(lcApp) << "NullMessageHandler: no log supported";
    qInstallMessageHandler(discardMessage);
}

NullMessageHandler::~NullMessageHandler()
{
    qInstallMessageHandler(nullptr);
}
