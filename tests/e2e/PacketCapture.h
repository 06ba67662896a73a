#pragma once

#include <QProcess>
#include <QString>

// Counts the packets that cross an interface of the test's (client) network
// namespace while it runs, with tcpdump and a capture filter.
class PacketCapture
{
public:
    PacketCapture() = default;
    ~PacketCapture();
    PacketCapture(const PacketCapture &) = delete;
    PacketCapture &operator=(const PacketCapture &) = delete;

    // True once tcpdump listens on `interface`: what crosses it from then on counts.
    bool start(const QString &interface, const QString &filter);
    // Ends the capture (again: no-op); the packets seen, or -1 when tcpdump failed.
    int stop();
    // The packets seen, as tcpdump printed them (after stop()).
    QString packets() const { return m_lines; }

private:
    QProcess m_tcpdump;
    bool m_listening = false;
    QString m_lines;
};
