#pragma once

#include <QObject>
#include <QSharedPointer>
#include <QString>

class AbstractProtocolMessageHandler;

// The client half of the single-instance negotiation.
class VpnBackendAbstractClient : public QObject
{
    Q_OBJECT

public:
    explicit VpnBackendAbstractClient(QObject *parent = nullptr);

    void setHandler(const QSharedPointer<AbstractProtocolMessageHandler> &handler);
    QString serverName() const;

    virtual bool startingClient() = 0;
    virtual void sendToServer(const QString &message) = 0;
    virtual void emitQuitApplication();
    virtual void disconnectSocket() = 0;

signals:
    void quitApplication();

public slots:
    void handleServerMessage(const QString &message);

protected:
    const QString m_serverName;
    QSharedPointer<AbstractProtocolMessageHandler> m_handler;
};
