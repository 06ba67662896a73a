// A process with an engine child and the termination handler installed.
//   sigterm_probe engine|noengine|missing  — prints "ready <engine pid>" and waits
//   sigterm_probe --cleanup                — the clean-up run: writes "<pid> <argv0>"
//                                            to $PROBE_MARKER and exits 0
#include "system/SigTermHandler.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>

#include <cstdio>
#include <unistd.h>

int main(int argc, char **argv)
{
    if (argc > 1 && QByteArray(argv[1]) == "--cleanup") {
        QFile marker(QString::fromLocal8Bit(qgetenv("PROBE_MARKER")));
        if (!marker.open(QIODevice::WriteOnly))
            return 2;
        marker.write(QByteArray::number(static_cast<qint64>(getpid())) + ' ' + QByteArray(argv[0]) + ' '
                     + QByteArray::number(argc) + '\n');
        return 0;
    }

    QCoreApplication app(argc, argv);
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("engine");

    QProcess engine;
    engine.start(QStringLiteral("sleep"), {QStringLiteral("1000")});
    if (!engine.waitForStarted())
        return 3;

    SigTermHandler handler(mode == QLatin1String("missing") ? QStringLiteral("/nonexistent/dir/OrvalVPN") : QString());
    handler.onOpenVpnStarted(engine);
    if (mode == QLatin1String("noengine"))
        handler.onOpenVpnTerminated();

    std::printf("ready %lld\n", static_cast<long long>(engine.processId()));
    std::fflush(stdout);
    return app.exec();
}
