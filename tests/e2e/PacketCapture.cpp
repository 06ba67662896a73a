#include "PacketCapture.h"

#include <QElapsedTimer>

PacketCapture::~PacketCapture()
{
    stop();
}

bool PacketCapture::start(const QString &interface, const QString &filter)
{
    // Unbuffered, one line per packet, at once: nothing is left in a buffer at stop().
    tcpdump.start(QStringLiteral("tcpdump"), {QStringLiteral("-i"), interface, QStringLiteral("-n"),
                                              QStringLiteral("-l"), QStringLiteral("--immediate-mode"), filter});
    QByteArray errors;
    QElapsedTimer timer;
    timer.start();
    while (!errors.contains("listening on") && tcpdump.state() != QProcess::NotRunning && timer.elapsed() < 10000) {
        tcpdump.waitForReadyRead(100);
        errors += tcpdump.readAllStandardError();
    }
    listening = errors.contains("listening on");
    return listening;
}

int PacketCapture::stop()
{
    if (tcpdump.state() != QProcess::NotRunning) {
        tcpdump.terminate();
        if (!tcpdump.waitForFinished(5000)) {
            tcpdump.kill();
            tcpdump.waitForFinished(2000);
        }
    }
    lines += QString::fromUtf8(tcpdump.readAllStandardOutput());
    const bool ended = tcpdump.exitStatus() == QProcess::NormalExit && tcpdump.exitCode() == 0;
    // tcpdump ends its output with an empty line of its own.
    return listening && ended ? lines.split(QLatin1Char('\n'), Qt::SkipEmptyParts).size() : -1;
}
