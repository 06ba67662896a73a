#include "app/NullMessageHandler.h"

#include <QDebug>

namespace {
void discardMessage(QtMsgType, const QMessageLogContext &, const QString &)
{
}
} // namespace

NullMessageHandler::NullMessageHandler()
{
    qDebug() << "NullMessageHandler: no log supported";
    qInstallMessageHandler(discardMessage);
}

NullMessageHandler::~NullMessageHandler()
{
    qInstallMessageHandler(nullptr);
}
