#pragma once

#include <QByteArray>

// While it lives, the test's (client) namespace has one name server, an
// address nothing answers at: every host-name look-up hangs until its
// time-out. The name servers before it come back when it goes.
class DeadNameServer
{
public:
    static const char *const ADDRESS;

    DeadNameServer();
    ~DeadNameServer();
    DeadNameServer(const DeadNameServer &) = delete;
    DeadNameServer &operator=(const DeadNameServer &) = delete;

private:
    static void write(const QByteArray &content);

    QByteArray m_original;
};
