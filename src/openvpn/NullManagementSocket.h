#pragma once
#include "openvpn/AbstractManagementSocket.h"

// Stands in where no engine is driven: starts nothing, never runs.
class NullManagementSocket : public AbstractManagementSocket
{
    Q_OBJECT

public:
    explicit NullManagementSocket(QObject *parent = nullptr);

    void startVPN(QSharedPointer<ConnectionParameters> parameters) override;
    bool isProcessRunning() override;

public slots:
    void sendSigTerm() override;
    void sendUsernamePassword(const QString &username, const QString &password) override;
};
