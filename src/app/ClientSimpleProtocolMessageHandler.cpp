#include "app/ClientSimpleProtocolMessageHandler.h"

#include "app/AppLogging.h"
#include "app/VpnBackendAbstractClient.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDebug>
#include <QThread>

ClientSimpleProtocolMessageHandler::ClientSimpleProtocolMessageHandler(VpnBackendAbstractClient &client)
    : m_client(client)
{
}

void ClientSimpleProtocolMessageHandler::makeHandShake()
{
    m_client.sendToServer(helloFromClient);
}

void ClientSimpleProtocolMessageHandler::connectionRefused()
{
    setFirstInstance(false);
}

void ClientSimpleProtocolMessageHandler::messageHandler(const QString &message)
{
    qCDebug(lcApp) << "Message from server:" << message;
    if (message.startsWith(firstInstance)) {
        qCDebug(lcApp) << "First Instance - proceeding...";
        setFirstInstance(true);
    } else if (message.startsWith(shutdownMultipleInstances)) {
        setFirstInstance(false);
    }
}

void ClientSimpleProtocolMessageHandler::setFirstInstance(bool first)
{
    m_firstInstance = first;
    m_answered = true;
}

bool ClientSimpleProtocolMessageHandler::isFirstInstance()
{
    const QDeadlineTimer deadline(verdictTimeoutMs);
    while (!m_answered && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
        if (!m_answered)
            QThread::msleep(100);
    }
    if (!m_answered)
        qCDebug(lcApp) << "Warning: First Instance Message not received";
    return m_firstInstance;
}
