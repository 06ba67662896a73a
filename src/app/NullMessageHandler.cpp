#include "app/NullMessageHandler.h"

#include "app/AppLogging.h"

#include <QDebug>
#include <QLoggingCategory>

namespace {
void discardMessage(QtMsgType, const QMessageLogContext &, const QString &)
{
}
} // namespace

NullMessageHandler::NullMessageHandler()
{
    qCDebug(lcApp) << "NullMessageHandler: no log supported";
    qInstallMessageHandler(discardMessage);
    // Nothing formats a line that goes nowhere, and what logs at length (the
    // system information) can see that it need not run.
    QLoggingCategory::setFilterRules(QStringLiteral("*=false"));
}

NullMessageHandler::~NullMessageHandler()
{
    QLoggingCategory::setFilterRules(QString());
    qInstallMessageHandler(nullptr);
}
