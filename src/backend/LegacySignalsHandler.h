#pragma once

#include "core/NullHandler.h"
#include "core/OpenVpnStateNullHandler.h"

#include <QSharedPointer>

class ConnectionParameters;
class LifeCycleClient;
class OsAbstraction;
class QNetworkAccessManager;
class VpnFrontend;
class WebConfigSource;

// Forwards the engine's end, byte counts, fatal errors and each successful
// connection to the frontend, and runs the checks that follow a connection.
class LegacySignalsHandler : public NullHandler, public OpenVpnStateNullHandler
{
public:
    LegacySignalsHandler(VpnFrontend &frontend, OsAbstraction &os, QNetworkAccessManager *networkAccessManager,
                         LifeCycleClient &lifeCycleClient, WebConfigSource &webConfigSource,
                         QSharedPointer<ConnectionParameters> connectionParameters);

    void onOpenVpnFailedToStart() override;
    void onOpenVpnTerminated() override;
    void onByteCount(const ByteCount &byteCount) override;
    void onFatal(const QString &message) override;
    void onState(const OpenVpnGenericState &state) override;

    // Engine texts that only reach the debug log: handled elsewhere or
    // followed by a request the user answers anyway.
    static bool isFilteredFatal(const QString &message);

protected:
    void on(const OpenVpnStateConnected &) override;

private:
    void resetNetwork();
    void afterTermination();

    VpnFrontend &m_frontend;
    OsAbstraction &m_os;
    QNetworkAccessManager *m_networkAccessManager;
    LifeCycleClient &m_lifeCycleClient;
    WebConfigSource &m_webConfigSource;
    QSharedPointer<ConnectionParameters> m_connectionParameters;
};
