#pragma once

#include <QStringList>
#include <QtGlobal>

// Collects the debug lines written while it lives; warnings of the platform
// plugin (showing real boxes offscreen) are left out.
class LogCapture
{
public:
    LogCapture()
    {
        lines().clear();
        m_previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &message) {
            if (type == QtDebugMsg)
                lines().append(message);
        });
    }
    ~LogCapture() { qInstallMessageHandler(m_previous); }

    static QStringList &lines()
    {
        static QStringList captured;
        return captured;
    }

private:
    QtMessageHandler m_previous = nullptr;
};
