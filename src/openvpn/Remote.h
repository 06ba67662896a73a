#pragma once
#include "openvpn/Lockable.h"

#include <QString>

class RemoteLock;

// The engine's ">REMOTE:" query. Handlers may change host and port and may
// lock it; when the last lock goes, exactly one of abort() or release() is
// emitted, and the answer reflects whether anything was modified.
class Remote : public Lockable
{
    Q_OBJECT

public:
    Remote(const QString &host, int port, const QString &protocol);
    ~Remote() override;

    // A new active lock, owned by this remote.
    RemoteLock *getRemoteLock();
    void remoteRelease();

    QString getHost() const;
    int getPort() const;
    QString getProtocol() const;
    bool isModified() const;

    void setHost(const QString &newHost);
    void setPort(int newPort);

private:
    QString m_host;
    int m_port;
    QString m_protocol;
    bool m_modified = false;
};
