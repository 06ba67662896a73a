#include "system/NetworkSetup.h"

#include "system/NetworkSetupFailed.h"
#include "system/ProcessOutputLogger.h"
#include "system/ProgramWave.h"
#include "system/SystemLogging.h"
#include "system/SystemPrograms.h"

#include <QDebug>
#include <QHostAddress>
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
    ProgramWave wave(m_program, QStringLiteral("networksetup"), {TimeoutSeconds, TimeoutSeconds});
    wave.setCloseInput(true);
    wave.setRetainOutput(wantOutput);
    wave.setOverLimit([](int, ProgramWave::Status status) {
        if (status == ProgramWave::Status::NotStarted)
            qCDebug(lcSystem) << "networksetup failed to start after 30 seconds";
        else
            qCDebug(lcSystem) << "networksetup did not finish after 30 seconds, it will be killed";
    });
    const ProgramWave::Run run = wave.run({arguments}).value(0);

    const QString hint =
        QStringLiteral("Please check that networksetup utility is correctly installed in your system.");
    switch (run.status) {
    case ProgramWave::Status::NotStarted:
        throw NetworkSetupFailed(QStringLiteral("The program networksetup failed to start."), hint);
    case ProgramWave::Status::NotFinished:
        throw NetworkSetupFailed(QStringLiteral("The program networksetup failed to finish."), hint);
    case ProgramWave::Status::Finished: break;
    }
    return run.standardOutput;
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
