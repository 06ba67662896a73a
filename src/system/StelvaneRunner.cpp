#include "system/StelvaneRunner.h"

#include "helper/CommandWords.h"
#include "system/ProcessOutputLogger.h"
#include "system/StelvaneRunnerFailed.h"
#include "system/StelvaneSecurityCheck.h"
#include "system/SystemLogging.h"

#include <QCoreApplication>
#include <QDebug>
#include <QProcess>
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

QString StelvaneRunner::execute(const QStringList &arguments, bool wantStdout)
{
    const QString joined = arguments.join(' ');
    qCDebug(lcHelperRunner).noquote() << "Starting" << m_program << joined;

    QProcess process;
    // Standard error is always kept: a refusal is recognised by its text.
    const QSharedPointer<ProcessOutputLogger> logger =
        ProcessOutputLogger::logAndRetainProcessOutput(QStringLiteral("Stelvane"), process);
    new StelvaneSecurityCheck(&process);
    process.start(m_program, arguments, QIODevice::ReadWrite);

    if (!logger->waitForProcessStarted(m_timeouts.startSeconds)) {
        qCDebug(lcHelperRunner).noquote() << QStringLiteral("StelvaneRunner failed to start after %1 seconds, args: %2")
                                                 .arg(m_timeouts.startSeconds)
                                                 .arg(joined);
        process.kill();
        throw StelvaneRunnerFailed(QStringLiteral("The program Stelvane failed to start."),
                                   QStringLiteral("Arguments:\n") + joined);
    }
    if (!logger->waitForProcessFinished(m_timeouts.finishSeconds)) {
        qCDebug(lcHelperRunner).noquote()
            << QStringLiteral("StelvaneRunner did not finish after %1 seconds, it will be killed, args: %2")
                   .arg(m_timeouts.finishSeconds)
                   .arg(joined);
        process.kill();
        process.waitForFinished(1000);
        throw StelvaneRunnerFailed(QStringLiteral("The program Stelvane failed to finish."),
                                   QStringLiteral("Arguments:\n") + joined);
    }

    // Any other exit status belongs to the command or the program it ran and is only logged.
    if (process.exitStatus() == QProcess::NormalExit && process.exitCode() == RefusedExitCode) {
        const QString code = refusalCode(logger->getStdErrCopy());
        if (!code.isEmpty())
            throw StelvaneRunnerFailed(QStringLiteral("The program Stelvane refused to run the command."),
                                       QStringLiteral("Arguments:\n%1\nError code: %2").arg(joined, code));
    }

    if (!wantStdout)
        return QString();
    QByteArray output = logger->getStdOutCopy();
    const int nul = output.indexOf('\0');
    if (nul >= 0)
        output.truncate(nul);
    return QString::fromLatin1(output);
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

QList<QStringList> StelvaneRunner::indexedRuns(const QStringList &prefix, int count)
{
    QList<QStringList> runs;
    for (int i = 1; i <= count; ++i)
        runs << prefix + QStringList {QString::number(i)};
    return runs;
}

void StelvaneRunner::executeEach(const QList<QStringList> &runs)
{
    for (const QStringList &arguments : runs)
        execute(arguments, false);
}

void StelvaneRunner::setInterfaceUp(const QString &interface)
{
    execute(QStringList {QLatin1String(stelvane::command::SET_INTERFACE_UP), interface}, false);
}

void StelvaneRunner::setIPv4AddressAndGateway(const QString &interface, const QHostAddress &address,
                                              const QHostAddress &netmask, const QHostAddress &gateway)
{
    execute(QStringList {QLatin1String(stelvane::command::SET_IPV4_ADDRESS), interface, address.toString(),
                         netmask.toString(), gateway.toString()},
            false);
}

void StelvaneRunner::deleteIPv4Address(const QString &interface, const QHostAddress &address)
{
    execute(QStringList {QLatin1String(stelvane::command::DELETE_IPV4_ADDRESS), interface, address.toString()}, false);
}

void StelvaneRunner::setIPv6Address(const QString &interface, const QHostAddress &address, int prefixLength)
{
    execute(QStringList {QLatin1String(stelvane::command::SET_IPV6_ADDRESS), interface, address.toString(),
                         QString::number(prefixLength)},
            false);
}

void StelvaneRunner::deleteIPv6Address(const QString &interface, const QHostAddress &address)
{
    execute(QStringList {QLatin1String(stelvane::command::DELETE_IPV6_ADDRESS), interface, address.toString()}, false);
}

void StelvaneRunner::add4SplittedRoutesToGateway(const QHostAddress &gateway)
{
    executeEach(indexedRuns({QLatin1String(stelvane::command::ADD_SPLIT_ROUTES_TO_GATEWAY), gateway.toString()}, 4));
}

void StelvaneRunner::add4SplittedRoutesToInterface(const QString &interface)
{
    executeEach(indexedRuns({QLatin1String(stelvane::command::ADD_SPLIT_ROUTES_TO_INTERFACE), interface}, 4));
}

void StelvaneRunner::remove4SplittedRoutes()
{
    executeEach(indexedRuns({QLatin1String(stelvane::command::REMOVE_SPLIT_ROUTES)}, 4));
}

void StelvaneRunner::addProtectiveSimpleSplittedDefaultRoute()
{
    executeEach(indexedRuns({QLatin1String(stelvane::command::ADD_BLACKHOLE_ROUTE)}, 2));
}

void StelvaneRunner::removeProtectiveSimpleSplittedDefaultRoute()
{
    executeEach(indexedRuns({QLatin1String(stelvane::command::REMOVE_BLACKHOLE_ROUTE)}, 2));
}

void StelvaneRunner::addProtectiveSimpleSplittedIPV6DefaultRoute()
{
    executeEach(indexedRuns({QLatin1String(stelvane::command::ADD_IPV6_UNREACHABLE_ROUTE)}, 2));
}

void StelvaneRunner::removeProtectiveSimpleSplittedIPV6DefaultRoute()
{
    executeEach(indexedRuns({QLatin1String(stelvane::command::REMOVE_IPV6_UNREACHABLE_ROUTE)}, 2));
}

void StelvaneRunner::protectHost(const QHostAddress &host, const QHostAddress &gateway)
{
    execute(QLatin1String(stelvane::command::PROTECT_HOST), host.toString(), gateway.toString());
}

void StelvaneRunner::releaseHost(const QHostAddress &host)
{
    execute(QLatin1String(stelvane::command::RELEASE_HOST), host.toString());
}

void StelvaneRunner::removeNameServers(const QString &service)
{
    execute(QLatin1String(stelvane::command::SET_NAME_SERVERS), service,
            QLatin1String(stelvane::command::NO_NAME_SERVERS));
}

bool StelvaneRunner::isInterfaceEnabled(const QString &service)
{
    return execute(QStringList {QLatin1String(stelvane::command::CHECK_INTERFACE_STATE), service}, true)
        .contains(QStringLiteral("Enabled"));
}

void StelvaneRunner::sendDockIconVisible()
{
    execute(QLatin1String(stelvane::command::SET_DOCK_ICON_VISIBILITY), QStringLiteral("true"));
}

void StelvaneRunner::sendDockIconHidden()
{
    execute(QLatin1String(stelvane::command::SET_DOCK_ICON_VISIBILITY), QStringLiteral("false"));
}
