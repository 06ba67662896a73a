#pragma once

#include <QObject>
#include <QScopedPointer>
#include <QString>
#include <QStringList>

class LsUtil;
class SystemProfiler;

// The system information of the log, written once per run: Qt's facts about
// the machine, system_profiler's report and a listing of the bundle. The two
// programs run one after the other on the main thread without blocking it.
// Nothing is collected while the system's log lines go nowhere.
class SystemInfoCollection : public QObject
{
    Q_OBJECT

public:
    struct Programs
    {
        QString systemProfiler;
        QStringList lsCandidates;
        QString bundle;
        int timeoutSeconds;
    };
    // The system's system_profiler and ls, the bundle of this program.
    static Programs systemPrograms();

    explicit SystemInfoCollection(const Programs &programs = systemPrograms(), QObject *parent = nullptr);
    ~SystemInfoCollection() override;

    // Starts the collection the first time; finished() follows its end (or,
    // with logging off, at once).
    void start();

signals:
    void finished();

private:
    void listBundle();

    Programs m_programs;
    bool m_started = false;
    QScopedPointer<SystemProfiler> m_profiler;
    QScopedPointer<LsUtil> m_ls;
};
