#pragma once
#include "../backend/FakeConnectionParameters.h"
#include "RecordingLifeCycleHandler.h"

#include "catalogue/BackendOpenVPNConfigCipher.h"
#include "openvpn/AbstractVpnCommand.h"
#include "openvpn/ManagementSocket.h"

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTimer>

#include <cstdio>
#include <functional>

// A lab test that runs itself as the main program of a probe bundle
// (Lab::makeProbeBundle), so that the real helper starts the real engine for
// it. The probe prints every engine event on standard output; the test reads them.
namespace EngineProbe {

// Set, to the engine's configuration file, when the program runs as the probe.
const char *const CONFIG = "ORVAL_PROBE_CONFIG";

class Parameters : public FakeConnectionParameters
{
public:
    Parameters()
        : m_config(qEnvironmentVariable(CONFIG))
    {
    }
    QFileInfo getConfigFile() const override { return QFileInfo(m_config); }

private:
    QString m_config;
};

// Prints `line` on standard output at once.
inline void say(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

// The client's part in the engine's arguments: it answers the remote query
// and chooses the cipher the lab's servers accept.
inline void prepare(AbstractVpnCommand &command)
{
    command.enableManagementQueryRemote();
    command.setCipher(BackendOpenVPNConfigCipher("AES-256-GCM", 1194, "", "", "", "", "", 0));
}

// Starts the engine for `parameters` and runs `app` until the engine has ended
// (exit code 0) or a minute has passed (exit code 2). Every event `recorder`
// records is printed, then handed to `onEvent`.
inline int run(QCoreApplication &app, ManagementSocket &socket, RecordingLifeCycleHandler &recorder,
               const QSharedPointer<ConnectionParameters> &parameters,
               const std::function<void(const QString &)> &onEvent)
{
    const auto drain = [&] {
        while (!recorder.events.isEmpty()) {
            const QString event = recorder.events.takeFirst();
            say(event);
            onEvent(event);
        }
    };
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, drain);
    // Late events would show up as a second end of the run.
    QObject::connect(&socket, &ManagementSocket::onOpenVpnTerminated, [&] {
        QTimer::singleShot(500, &app, [&] {
            drain();
            app.quit();
        });
    });
    poll.start(50);
    QTimer::singleShot(60000, &app, [&] {
        say("probe timed out");
        app.exit(2);
    });
    socket.startVPN(parameters);
    return app.exec();
}

// What a probe run left: whether it ended within 90 s, its exit code, the
// events it printed and its log (standard error).
struct Result
{
    bool finished = false;
    int exitCode = -1;
    QStringList events;
    QString log;
};

// Runs the probe bundle's main program (`contents`/MacOS/OrvalVPN) with the
// engine configuration `config` and the further `environment`, as the real
// engine (no simulator), and waits for its end.
inline Result start(const QString &contents, const QString &config,
                    const QProcessEnvironment &environment = QProcessEnvironment())
{
    QProcessEnvironment all = QProcessEnvironment::systemEnvironment();
    all.insert(environment);
    all.insert(CONFIG, config);
    all.remove("WITH_OPENVPN_SIMULATOR");
    QProcess probe;
    probe.setProcessEnvironment(all);
    probe.start(contents + "/MacOS/OrvalVPN", QStringList());
    Result result;
    result.finished = probe.waitForFinished(90000);
    result.exitCode = probe.exitCode();
    result.events = QString::fromLocal8Bit(probe.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    result.log = QString::fromLocal8Bit(probe.readAllStandardError());
    return result;
}

} // namespace EngineProbe

// main() of a test that is also its own probe: `probeMain(argc, argv)` when run
// as the probe, the Qt Test class `TestClass` otherwise.
#define ENGINE_PROBE_MAIN(TestClass, probeMain)                                                                        \
    int main(int argc, char **argv)                                                                                    \
    {                                                                                                                  \
        if (qEnvironmentVariableIsSet(EngineProbe::CONFIG))                                                            \
            return probeMain(argc, argv);                                                                              \
        QCoreApplication app(argc, argv);                                                                              \
        TestClass test;                                                                                                \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }
