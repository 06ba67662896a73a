#pragma once

#include <QHostAddress>
#include <QString>
#include <QStringList>

// Runs the privileged helper Stelvane once per command: the command word and
// its arguments on the command line, the two authentication lines on its
// standard input. Failures are StelvaneRunnerFailed exceptions; the commands
// that take several runs stop at the first that fails.
class StelvaneRunner
{
public:
    struct Timeouts
    {
        int startSeconds = 30;
        int finishSeconds = 60;
    };

    // The bundle's own helper.
    StelvaneRunner();
    StelvaneRunner(const QString &program, const Timeouts &timeouts);
    virtual ~StelvaneRunner();

    static QString bundledHelperPath();

    // Returns the helper's standard output when wanted, else an empty string.
    QString execute(const QStringList &arguments, bool wantStdout);
    QString execute(const QString &command, const QString &a);
    QString execute(const QString &command, const QString &a, const QString &b);
    QString execute(const QString &command, const QString &a, const QStringList &rest);

    void setInterfaceUp(const QString &interface);
    void setIPv4AddressAndGateway(const QString &interface, const QHostAddress &address, const QHostAddress &netmask,
                                  const QHostAddress &gateway);
    void deleteIPv4Address(const QString &interface, const QHostAddress &address);
    void setIPv6Address(const QString &interface, const QHostAddress &address, int prefixLength);
    void deleteIPv6Address(const QString &interface, const QHostAddress &address);
    void add4SplittedRoutesToGateway(const QHostAddress &gateway);
    void add4SplittedRoutesToInterface(const QString &interface);
    void remove4SplittedRoutes();
    void addProtectiveSimpleSplittedDefaultRoute();
    void removeProtectiveSimpleSplittedDefaultRoute();
    void addProtectiveSimpleSplittedIPV6DefaultRoute();
    void removeProtectiveSimpleSplittedIPV6DefaultRoute();
    void protectHost(const QHostAddress &host, const QHostAddress &gateway);
    void releaseHost(const QHostAddress &host);
    void removeNameServers(const QString &service);
    bool isInterfaceEnabled(const QString &service);

    virtual void sendDockIconVisible();
    virtual void sendDockIconHidden();

    // The argument lists of a command run once per index 1..count, in order.
    static QList<QStringList> indexedRuns(const QStringList &prefix, int count);

private:
    void executeEach(const QList<QStringList> &runs);

    QString m_program;
    Timeouts m_timeouts;
};
