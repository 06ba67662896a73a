#pragma once
#include "Lab.h"

#include "openvpn/OpenVpnCommand.h"

#include <QProcess>

#include <functional>

// While it lives, the management socket starts the installed OpenVPN program
// with `arguments(managementPort)` in place of the bundle's engine.
class InstalledEngine
{
public:
    explicit InstalledEngine(const std::function<QStringList(int)> &arguments)
    {
        qputenv("WITH_OPENVPN_SIMULATOR", "true");
        OpenVpnCommand::setSimulatorStarter([arguments](QProcess &process, int port) {
            process.setProcessChannelMode(QProcess::MergedChannels);
            process.start(Lab::openVpnProgram(), arguments(port));
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
