#pragma once

#include <QStringList>
#include <QtGlobal>

// Collects the debug log while it lives (one at a time), then restores the
// previous handler.
class LogCapture
{
public:
    LogCapture()
    {
        m_previous = qInstallMessageHandler(&LogCapture::handle);
        lines().clear();
    }
    ~LogCapture() { qInstallMessageHandler(m_previous); }
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    QStringList messages() const { return lines(); }
    bool contains(const QString &line) const { return lines().contains(line); }
    int count(const QString &line) const { return lines().count(line); }
    QStringList matching(const QString &part) const { return lines().filter(part); }
    void clear() { lines().clear(); }

private:
    static QStringList &lines()
    {
        static QStringList captured;
        return captured;
    }
    static void handle(QtMsgType, const QMessageLogContext &, const QString &message) { lines().append(message); }

    QtMessageHandler m_previous = nullptr;
};
