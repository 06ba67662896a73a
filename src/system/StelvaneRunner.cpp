#include "system/StelvaneRunner.h"

#include "system/StelvaneCommandLines.h"
#include "system/StelvaneSecurityCheck.h"
#include "system/SystemLogging.h"

#include <QCoreApplication>
#include <QDebug>
#include <QRegularExpression>

namespace {

// The helper's exit status when it refuses its caller (authentication, path or
// digest check), with "Err <code>" on standard error.
constexpr int RefusedExitCode = 10;

QString refusalCode(const QByteArray &stderrOutput)
{
    static const QRegularExpression errLine(QStringLiteral("^Err (\\d+)$"), QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = errLine.match(QString::fromLocal8Bit(stderrOutput));
    return match.hasMatch() ? match.captured(1) : QString();
}

} // namespace

StelvaneRunner::StelvaneRunner()
    : StelvaneRunner(bundledHelperPath(), Timeouts())
{
}

StelvaneRunner::StelvaneRunner(const QString &program, const Timeouts &timeouts)
    : m_program(program)
    , m_timeouts(timeouts)
{
}

StelvaneRunner::~StelvaneRunner() = default;

QString StelvaneRunner::bundledHelperPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../Helpers/Stelvane");
}

QList<StelvaneRunner::Outcome> StelvaneRunner::executeTogether(const QList<QStringList> &runs, bool wantStdout)
{
    QStringList joined;
    for (const QStringList &arguments : runs) {
        joined << arguments.join(' ');
        qCDebug(lcHelperRunner).noquote() << "Starting" << m_program << joined.last();
    }

    ProgramWave wave(m_program, QStringLiteral("Stelvane"), {m_timeouts.startSeconds, m_timeouts.finishSeconds});
    // Standard error is always kept: a refusal is recognised by its text.
    wave.setRetainOutput(true);
    wave.setPrepare([](QProcess &process) { new StelvaneSecurityCheck(&process); });
    wave.setOverLimit([&](int index, ProgramWave::Status status) {
        if (status == ProgramWave::Status::NotStarted)
            qCDebug(lcHelperRunner).noquote()
                << QStringLiteral("StelvaneRunner failed to start after %1 seconds, args: %2")
                       .arg(m_timeouts.startSeconds)
                       .arg(joined.at(index));
        else
            qCDebug(lcHelperRunner).noquote()
                << QStringLiteral("StelvaneRunner did not finish after %1 seconds, it will be killed, args: %2")
                       .arg(m_timeouts.finishSeconds)
                       .arg(joined.at(index));
    });

    const QList<ProgramWave::Run> results = wave.run(runs);
    QList<Outcome> outcomes;
    for (int i = 0; i < results.size(); ++i)
        outcomes << outcomeOf(results.at(i), joined.at(i), wantStdout);
    return outcomes;
}

StelvaneRunner::Outcome StelvaneRunner::outcomeOf(const ProgramWave::Run &run, const QString &joined, bool wantStdout)
{
    const QString arguments = QStringLiteral("Arguments:\n") + joined;
    Outcome outcome;
    switch (run.status) {
    case ProgramWave::Status::NotStarted:
        outcome.failure = StelvaneRunnerFailed(QStringLiteral("The program Stelvane failed to start."), arguments);
        return outcome;
    case ProgramWave::Status::NotFinished:
        outcome.failure = StelvaneRunnerFailed(QStringLiteral("The program Stelvane failed to finish."), arguments);
        return outcome;
    case ProgramWave::Status::Finished: break;
    }

    // Any other exit status belongs to the command or the program it ran and is only logged.
    if (run.exitStatus == QProcess::NormalExit && run.exitCode == RefusedExitCode) {
        const QString code = refusalCode(run.standardError);
        if (!code.isEmpty()) {
            outcome.failure = StelvaneRunnerFailed(QStringLiteral("The program Stelvane refused to run the command."),
                                                   arguments + QStringLiteral("\nError code: ") + code);
            return outcome;
        }
    }

    if (wantStdout) {
        QByteArray output = run.standardOutput;
        const int nul = output.indexOf('\0');
        if (nul >= 0)
            output.truncate(nul);
        outcome.output = QString::fromLatin1(output);
    }
    return outcome;
}

void StelvaneRunner::executeAll(const QList<QStringList> &runs)
{
    for (const Outcome &outcome : executeTogether(runs, false)) {
        if (outcome.failure)
            throw *outcome.failure;
    }
}

QString StelvaneRunner::execute(const QStringList &arguments, bool wantStdout)
{
    const Outcome outcome = executeTogether({arguments}, wantStdout).value(0);
    if (outcome.failure)
        throw *outcome.failure;
    return outcome.output;
}

QString StelvaneRunner::execute(const QString &command, const QString &a)
{
    return execute(QStringList {command, a}, false);
}

QString StelvaneRunner::execute(const QString &command, const QString &a, const QString &b)
{
    return execute(QStringList {command, a, b}, false);
}

QString StelvaneRunner::execute(const QString &command, const QString &a, const QStringList &rest)
{
    return execute(QStringList {command, a} + rest, false);
}

void StelvaneRunner::setInterfaceUp(const QString &interface)
{
    execute(StelvaneCommandLines::setInterfaceUp(interface), false);
}

void StelvaneRunner::setIPv4AddressAndGateway(const QString &interface, const QHostAddress &address,
                                              const QHostAddress &netmask, const QHostAddress &gateway)
{
    execute(StelvaneCommandLines::setIPv4AddressAndGateway(interface, address, netmask, gateway), false);
}

void StelvaneRunner::deleteIPv4Address(const QString &interface, const QHostAddress &address)
{
    execute(StelvaneCommandLines::deleteIPv4Address(interface, address), false);
}

void StelvaneRunner::setIPv6Address(const QString &interface, const QHostAddress &address, int prefixLength)
{
    execute(StelvaneCommandLines::setIPv6Address(interface, address, prefixLength), false);
}

void StelvaneRunner::deleteIPv6Address(const QString &interface, const QHostAddress &address)
{
    execute(StelvaneCommandLines::deleteIPv6Address(interface, address), false);
}

void StelvaneRunner::add4SplittedRoutesToGateway(const QHostAddress &gateway)
{
    executeAll(StelvaneCommandLines::add4SplittedRoutesToGateway(gateway));
}

void StelvaneRunner::add4SplittedRoutesToInterface(const QString &interface)
{
    executeAll(StelvaneCommandLines::add4SplittedRoutesToInterface(interface));
}

void StelvaneRunner::remove4SplittedRoutes()
{
    executeAll(StelvaneCommandLines::remove4SplittedRoutes());
}

void StelvaneRunner::removeNameServers(const QString &service)
{
    execute(StelvaneCommandLines::setNameServers(service, {}), false);
}

bool StelvaneRunner::isInterfaceEnabled(const QString &service)
{
    return execute(StelvaneCommandLines::checkInterfaceState(service), true).contains(QStringLiteral("Enabled"));
}

void StelvaneRunner::sendDockIconVisible()
{
    execute(StelvaneCommandLines::setDockIconVisibility(true), false);
}

void StelvaneRunner::sendDockIconHidden()
{
    execute(StelvaneCommandLines::setDockIconVisibility(false), false);
}
