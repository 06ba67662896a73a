#pragma once
#include "Lab.h"

#include "openvpn/OpenVpnCommand.h"

#include <QProcess>

#include <functional>

// While it lives, the management socket starts the installed OpenVPN program
// with `arguments(managementPort)` in place of the bundle's engine, with the
// run's secret as an echo, as the helper would add it.
class InstalledEngine
{
public:
    explicit InstalledEngine(const std::function<QStringList(int)> &arguments)
    {
        qputenv("WITH_OPENVPN_SIMULATOR", "true");
        OpenVpnCommand::setSimulatorStarter([arguments](QProcess &process, int port, const QByteArray &secret) {
            process.setProcessChannelMode(QProcess::MergedChannels);
            process.start(Lab::openVpnProgram(), arguments(port) << "--echo" << QString::fromLatin1(secret));
        });
    }
    ~InstalledEngine()
    {
        OpenVpnCommand::setSimulatorStarter(nullptr);
        qunsetenv("WITH_OPENVPN_SIMULATOR");
    }
    InstalledEngine(const InstalledEngine &) = delete;
    InstalledEngine &operator=(const InstalledEngine &) = delete;
};
