#include "app/AbstractProtocolMessageHandler.h"

const QString AbstractProtocolMessageHandler::helloFromClient = QStringLiteral(">HELLO FROM CLIENT");
const QString AbstractProtocolMessageHandler::helloFromServer = QStringLiteral(">HELLO FROM SERVER");
const QString AbstractProtocolMessageHandler::firstInstance = QStringLiteral(">FIRST_INSTANCE");
const QString AbstractProtocolMessageHandler::shutdownMultipleInstances =
    QStringLiteral(">SHUTDOWN_MULTIPLE_INSTANCES");
const QString AbstractProtocolMessageHandler::bye = QStringLiteral(">BYE");
const QString AbstractProtocolMessageHandler::getVisibility = QStringLiteral(">GET_VISIBILITY");
