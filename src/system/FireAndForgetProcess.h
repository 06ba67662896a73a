#pragma once

#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QTimer>
#include <functional>

// Runs a user's script without blocking: kills it when it runs past its time
// limit, reports a kill, a crash or a failed start through the callback, and
// deletes itself when done.
class FireAndForgetProcess : public QObject
{
    Q_OBJECT

public:
    using Callback = std::function<void(const QString &message, const QString &details)>;

    static void execute(const QString &name, int timeoutSeconds, const QString &program, const Callback &callback);
    static void execute(const QString &name, int timeoutSeconds, const QString &program, const QStringList &arguments,
                        const Callback &callback);

    FireAndForgetProcess(const QString &name, int timeoutSeconds, const QString &program, const QStringList &arguments,
                         const Callback &callback);
    ~FireAndForgetProcess() override;

    void execute();

public slots:
    void processTimedout();
    void processFinished(int exitCode);
    void processError(QProcess::ProcessError error);

private:
    QString logPrefix() const;

    QString m_name;
    int m_timeoutSeconds;
    QString m_program;
    QStringList m_arguments;
    QTimer m_timer;
    QProcess m_process;
    bool m_killedByTimeout = false;
    Callback m_callback;
};
