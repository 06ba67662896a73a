#pragma once

#include "backend/VpnBackend.h"

#include <QList>

// A backend that only writes down the starts it is asked for.
class RecordingVpnBackend : public VpnBackend
{
public:
    struct Start
    {
        QSharedPointer<ConnectionParameters> parameters;
        QString user;
        QString password;
    };

    QList<Start> starts;

    std::function<void(QString, QString)> getErrorSender() override { return [](QString, QString) {}; }
    void sendErrorMessageToFrontend(QString, QString) override {}
    void startVPN(QSharedPointer<ConnectionParameters> parameters, QString userName, QString password) override
    {
        starts.append({ parameters, userName, password });
    }
    void skip() override {}
    void abort() override {}
    void login(const QString &, const QString &) override {}
    void stopVPN() override {}
    void setSystemNameServers(DnsListEntry) override {}
    void closeEvent(quint64) override {}
    void refreshPublicIp() override {}
};
