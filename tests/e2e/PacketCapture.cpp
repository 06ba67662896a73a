#include "PacketCapture.h"

#include <QElapsedTimer>

PacketCapture::~PacketCapture()
{
    stop();
}

bool PacketCapture::start(const QString &interface, const QString &filter)
{
    // Unbuffered, one line per packet, at once: nothing is left in a buffer at stop().
    m_tcpdump.start(QStringLiteral("tcpdump"), {QStringLiteral("-i"), interface, QStringLiteral("-n"),
                                                QStringLiteral("-l"), QStringLiteral("--immediate-mode"), filter});
    QByteArray errors;
    QElapsedTimer timer;
    timer.start();
    while (!errors.contains("listening on") && m_tcpdump.state() != QProcess::NotRunning && timer.elapsed() < 10000) {
        m_tcpdump.waitForReadyRead(100);
        errors += m_tcpdump.readAllStandardError();
    }
    m_listening = errors.contains("listening on");
    return m_listening;
}

int PacketCapture::stop()
{
    if (m_tcpdump.state() != QProcess::NotRunning) {
        m_tcpdump.terminate();
        if (!m_tcpdump.waitForFinished(5000)) {
            m_tcpdump.kill();
            m_tcpdump.waitForFinished(2000);
        }
    }
    m_lines += QString::fromUtf8(m_tcpdump.readAllStandardOutput());
    const bool ended = m_tcpdump.exitStatus() == QProcess::NormalExit && m_tcpdump.exitCode() == 0;
    // tcpdump ends its output with an empty line of its own.
    return m_listening && ended ? m_lines.split(QLatin1Char('\n'), Qt::SkipEmptyParts).size() : -1;
}
