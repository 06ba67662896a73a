#pragma once

#include "system/ProgramWave.h"
#include "system/StelvaneRunnerFailed.h"

#include <QHostAddress>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// Runs the privileged helper Stelvane once per command: the command word and
// its arguments on the command line, the two authentication lines on its
// standard input. Failures are StelvaneRunnerFailed exceptions. The runs of a
// command that takes several are independent of each other: they run at the
// same time, every one of them is made, and the first failure in run order is
// thrown once all have ended.
class StelvaneRunner
{
public:
    struct Outcome
    {
        // The helper's standard output when wanted, else empty.
        QString output;
        std::optional<StelvaneRunnerFailed> failure;
    };

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

    // One run per argument list, all at the same time; the outcomes in the
    // lists' order. The one place that runs the helper.
    virtual QList<Outcome> executeTogether(const QList<QStringList> &runs, bool wantStdout);
    // Throws the first failure in run order, after all runs ended.
    void executeAll(const QList<QStringList> &runs);

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
    void removeNameServers(const QString &service);
    bool isInterfaceEnabled(const QString &service);

    virtual void sendDockIconVisible();
    virtual void sendDockIconHidden();

private:
    static Outcome outcomeOf(const ProgramWave::Run &run, const QString &joined, bool wantStdout);

    QString m_program;
    Timeouts m_timeouts;
};
