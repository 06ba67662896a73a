#pragma once

// What the OpenConnect lab tests share: a bundle of their own to run from, so
// that the real helper's caller, place and checksum checks all pass for real,
// and one site that points at the lab's ocserv.
#include "Lab.h"

#include "catalogue/HalvorixServerSite.h"
#include "openconnect/OpenConnectConnectVia.h"
#include "openconnect/OpenConnectConnectionParameters.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QSharedPointer>
#include <QTemporaryDir>

#include <cstdio>

namespace OpenConnectLab {

const QString USER = QStringLiteral("lab-user");
const QString PASSWORD = QStringLiteral("lab-pass word");
const quint16 VPN_PORT = 4443;
const char *const IN_BUNDLE = "ORVAL_OPENCONNECT_LAB_IN_BUNDLE";

inline QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(10000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

inline bool copyExecutable(const QString &from, const QString &to)
{
    QFile::remove(to);
    return QFile::copy(from, to)
           && QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
                                            | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
}

inline bool copyDirectory(const QString &from, const QString &to)
{
    if (!QDir().mkpath(to))
        return false;
    for (const QFileInfo &entry : QDir(from).entryInfoList(QDir::Files)) {
        if (!copyExecutable(entry.filePath(), to + '/' + entry.fileName()))
            return false;
    }
    return true;
}

inline bool runsInBundle()
{
    return !qEnvironmentVariableIsEmpty(IN_BUNDLE);
}

// Lays out a bundle beside the build's own and runs this program from it as
// Contents/MacOS/OrvalVPN; its exit code is ours.
inline int runFromBundle(int argc, char **argv, const QString &buildBundle)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString contents = dir.filePath("LabClient.app/Contents");
    const bool laidOut =
        QDir().mkpath(contents + "/MacOS") && QDir().mkpath(contents + "/Helpers")
        && QDir().mkpath(contents + "/Resources/app/bin")
        && copyExecutable(QCoreApplication::applicationFilePath(), contents + "/MacOS/OrvalVPN")
        && copyExecutable(buildBundle + "/Helpers/Stelvane", contents + "/Helpers/Stelvane")
        && copyExecutable(buildBundle + "/Helpers/openconnect", contents + "/Helpers/openconnect")
        && copyExecutable(buildBundle + "/Resources/app/bin/vpnc-script", contents + "/Resources/app/bin/vpnc-script")
        && QFile::copy(buildBundle + "/Info.plist", contents + "/Info.plist")
        && copyDirectory(buildBundle + "/Platform/bin", contents + "/Platform/bin");
    if (!laidOut) {
        std::fprintf(stderr, "cannot lay out the test bundle in %s\n", qPrintable(dir.path()));
        return 1;
    }
    QProcess::execute("chmod", {"-R", "go+rX", dir.path()});
    qputenv(IN_BUNDLE, "1");
    QProcess test;
    test.setProcessChannelMode(QProcess::ForwardedChannels);
    test.start(contents + "/MacOS/OrvalVPN", app.arguments().mid(1));
    test.waitForFinished(-1);
    return test.exitStatus() == QProcess::NormalExit ? test.exitCode() : 1;
}

inline bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// Makes `configDir` the configuration directory, with one site whose
// OpenConnect server is the lab's ocserv (read from the site's UDP file,
// whatever the protocol).
inline bool writeSite(const QString &configDir)
{
    QSettings().setValue("config/configDir", configDir);
    return writeFile(configDir + "/site-udp.conf", "client\nremote " + Lab::serverAddress().toUtf8() + " 1194\n")
           && writeFile(configDir + "/openconnect.json", "{\"default\": {\"port\": 4443}}");
}

inline QSharedPointer<ConnectionParameters> parameters(const QString &configDir,
                                                       const OpenConnectConnectVia &via = OpenConnectConnectVia::TCP())
{
    return QSharedPointer<ConnectionParameters>(new OpenConnectConnectionParameters(
        HalvorixServerSite("USA", "Lab", "site-udp.conf", "site-tcp.conf", false, false, QDir(configDir), {},
                           QHostAddress(), GeoLocation(), QString(), 0),
        via, Settings::IksSettings(), false, false));
}

} // namespace OpenConnectLab
