#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Read-only queries of networksetup: the network services and their name servers.
class NetworkSetup
{
public:
    // The system's networksetup.
    NetworkSetup();
    explicit NetworkSetup(const QString &program);
    virtual ~NetworkSetup();

    // Standard output when wanted, else empty. Throws NetworkSetupFailed.
    QByteArray execute(const QStringList &arguments, bool wantOutput);

    QStringList listAllNetworkServices();
    QStringList getDnsServers(const QString &service);

    static QStringList byteArrayAsList(const QByteArray &bytes);
    static QStringList servicesFromOutput(const QByteArray &output);
    static QStringList dnsServersFromOutput(const QByteArray &output);

private:
    QString m_program;
};
