#include "HelperBundle.h"

#include "helper/SecurityCheck.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>

#include <sys/stat.h>
#include <unistd.h>

namespace {

bool copyFile(const QString &from, const QString &to, mode_t mode)
{
    QDir().mkpath(QFileInfo(to).absolutePath());
    QFile::remove(to);
    return QFile::copy(from, to) && chown(QFile::encodeName(to).constData(), 0, 0) == 0
           && chmod(QFile::encodeName(to).constData(), mode) == 0;
}

bool copyTree(const QString &from, const QString &to)
{
    const QDir source(from);
    QDir().mkpath(to);
    for (const QFileInfo &entry : source.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString target = to + "/" + entry.fileName();
        if (entry.isDir() ? !copyTree(entry.filePath(), target) : !copyFile(entry.filePath(), target, 0755))
            return false;
    }
    return true;
}

} // namespace

HelperBundle::HelperBundle()
    : m_dir(QDir::tempPath() + "/stelvane-test-XXXXXX")
{
}

bool HelperBundle::isRoot()
{
    return geteuid() == 0;
}

bool HelperBundle::create(const QString &name, QString *reason)
{
    const QString build = QStringLiteral(STELVANE_BUILD_BUNDLE);
    m_contents = m_dir.path() + "/" + name + ".app";
    // Reachable by nobody, as an installed application is.
    chmod(QFile::encodeName(m_dir.path()).constData(), 0755);
    const struct
    {
        QString from;
        QString to;
        mode_t mode;
    } files[] = {
        {QStringLiteral(STELVANE_LAUNCHER), launcher(), 0755},
        {build + "/Helpers/Stelvane", helper(), 04555},
        {build + "/Helpers/openvpn_v2_4", m_contents + "/Contents/Helpers/openvpn_v2_4", 0755},
        {build + "/Helpers/openconnect", m_contents + "/Contents/Helpers/openconnect", 0755},
        {build + "/Resources/app/bin/vpnc-script", m_contents + "/Contents/Resources/app/bin/vpnc-script", 0755},
        {build + "/Info.plist", m_contents + "/Contents/Info.plist", 0644},
    };
    for (const auto &file : files) {
        if (!copyFile(file.from, file.to, file.mode)) {
            *reason = "cannot copy " + file.from + " to " + file.to;
            return false;
        }
    }
    if (!copyTree(build + "/Platform", m_contents + "/Contents/Platform")) {
        *reason = "cannot copy the platform programs";
        return false;
    }
    // mkpath made the directories with the test's umask; open them up.
    QProcess::execute("chmod", {"-R", "go+rX", m_dir.path()});
    return true;
}

bool HelperBundle::copyLauncherTo(const QString &path) const
{
    return copyFile(launcher(), path, 0755) && QProcess::execute("chmod", {"-R", "go+rX", m_dir.path()}) == 0;
}

bool HelperBundle::copyHelperTo(const QString &path) const
{
    return copyFile(helper(), path, 04555) && QProcess::execute("chmod", {"-R", "go+rX", m_dir.path()}) == 0
           && chmod(QFile::encodeName(path).constData(), 04555) == 0;
}

QByteArray HelperBundle::authenticationLines(qint64 offsetMs)
{
    const qint64 timestamp = QDateTime::currentMSecsSinceEpoch() + offsetMs;
    return QByteArray::number(timestamp) + "\n"
           + QByteArray::fromStdString(stelvane::SecurityCheck::tokenDigest(timestamp)) + "\n";
}

QByteArray HelperBundle::token(qint64 offsetMs)
{
    return authenticationLines(offsetMs) + ENGINE_SECRET + "\n";
}

HelperBundle::Result HelperBundle::run(const QStringList &arguments, const QByteArray &input, User user,
                                       const QString &launcherPath, const QString &helperPath, const QString &netns,
                                       bool closeInput) const
{
    QStringList command = {launcherPath.isEmpty() ? launcher() : launcherPath};
    command << (helperPath.isEmpty() ? helper() : helperPath) << arguments;
    if (user == User::Nobody)
        command = QStringList {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"} + command;
    if (!netns.isEmpty())
        command = QStringList {"ip", "netns", "exec", netns} + command;
    QProcess process;
    QStringList ports;
    for (const quint16 port : m_listenPorts)
        ports << QString::number(port);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("STELVANE_TEST_LISTEN", ports.join(','));
    process.setProcessEnvironment(environment);
    process.start(command.takeFirst(), command);
    Result result;
    if (!process.waitForStarted(10000))
        return result;
    process.write(input);
    if (closeInput)
        process.closeWriteChannel();
    process.waitForFinished(60000);
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}
