#include "system/NetworkSetup.h"

#include "system/NetworkSetupFailed.h"
#include "system/ProcessOutputLogger.h"
#include "system/SystemLogging.h"
#include "system/SystemPrograms.h"

#include <QDebug>
#include <QHostAddress>
#include <QProcess>
#include <QRegularExpression>

namespace {

constexpr int TimeoutSeconds = 30;

} // namespace

NetworkSetup::NetworkSetup()
    : NetworkSetup(SystemPrograms::networksetup())
{
}

NetworkSetup::NetworkSetup(const QString &program)
    : m_program(program)
{
}

NetworkSetup::~NetworkSetup() = default;

QByteArray NetworkSetup::execute(const QStringList &arguments, bool wantOutput)
{
    qCDebug(lcSystem).noquote() << "Starting networksetup" << arguments.join(' ');
    QProcess process;
    const QString name = QStringLiteral("networksetup");
    const QSharedPointer<ProcessOutputLogger> logger =
        wantOutput ? ProcessOutputLogger::logAndRetainProcessOutput(name, process)
                   : ProcessOutputLogger::logProcessOutput(name, process);
    process.start(m_program, arguments, QIODevice::ReadWrite);

    const QString hint =
        QStringLiteral("Please check that networksetup utility is correctly installed in your system.");
    if (!logger->waitForProcessStarted(TimeoutSeconds)) {
        qCDebug(lcSystem) << "networksetup failed to start after 30 seconds";
        process.kill();
        throw NetworkSetupFailed(QStringLiteral("The program networksetup failed to start."), hint);
    }
    process.closeWriteChannel();
    if (!logger->waitForProcessFinished(TimeoutSeconds)) {
        qCDebug(lcSystem) << "networksetup did not finish after 30 seconds, it will be killed";
        process.kill();
        process.waitForFinished(1000);
        throw NetworkSetupFailed(QStringLiteral("The program networksetup failed to finish."), hint);
    }
    return wantOutput ? logger->getStdOutCopy() : QByteArray();
}

QStringList NetworkSetup::listAllNetworkServices()
{
    return servicesFromOutput(execute({QStringLiteral("listallnetworkservices")}, true));
}

QStringList NetworkSetup::getDnsServers(const QString &service)
{
    return dnsServersFromOutput(execute({QStringLiteral("getdnsservers"), service}, true));
}

QStringList NetworkSetup::byteArrayAsList(const QByteArray &bytes)
{
    return ProcessOutputLogger::splitLines(bytes);
}

// The first line is the program's note on the star that marks a disabled service.
QStringList NetworkSetup::servicesFromOutput(const QByteArray &output)
{
    static const QRegularExpression leadingStar(QStringLiteral("^\\*"));
    QStringList lines = byteArrayAsList(output);
    if (!lines.isEmpty())
        lines.removeFirst();
    for (QString &line : lines)
        line.remove(leadingStar);
    return lines;
}

// Only lines that are an address as a whole: the program answers errors and
// "There aren't any DNS Servers set on ..." on standard output too.
QStringList NetworkSetup::dnsServersFromOutput(const QByteArray &output)
{
    QStringList servers;
    for (const QString &line : byteArrayAsList(output)) {
        if (!line.isEmpty() && !QHostAddress(line).isNull())
            servers << line;
    }
    return servers;
}
