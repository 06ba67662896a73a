// The OpenConnect driver against a real ocserv across the test network: the
// real engine started by the real helper, the network set up through the real
// system layer. The test copies itself into a bundle of its own as
// Contents/MacOS/OrvalVPN (beside copies of the helper, the engine, the
// vpnc-script and the platform programs) and runs there, so that the helper's
// caller, place and checksum checks are all real.
#include "Lab.h"
#include "OpenConnectTestDoubles.h"

#include "openconnect/OpenConnectConnectVia.h"
#include "openconnect/OpenConnectConnectionParameters.h"
#include "openconnect/OpenConnectManagementSocket.h"
#include "system/MacOSXAbstractionImpl.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace {

const QString USER = QStringLiteral("lab-user");
const QString PASSWORD = QStringLiteral("lab-pass word");
const quint16 VPN_PORT = 4443;
const char* const IN_BUNDLE = "ORVAL_OPENCONNECT_LAB_IN_BUNDLE";

QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(10000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

bool copyExecutable(const QString& from, const QString& to)
{
    QFile::remove(to);
    return QFile::copy(from, to)
        && QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
                                         | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
}

bool copyDirectory(const QString& from, const QString& to)
{
    if (!QDir().mkpath(to))
        return false;
    for (const QFileInfo& entry : QDir(from).entryInfoList(QDir::Files)) {
        if (!copyExecutable(entry.filePath(), to + '/' + entry.fileName()))
            return false;
    }
    return true;
}

// Lays out the bundle and runs this program from it; its exit code is ours.
int runFromBundle(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString contents = dir.filePath("LabClient.app/Contents");
    const QString build = QStringLiteral(ORVAL_BUNDLE_DIR);
    const bool laidOut = QDir().mkpath(contents + "/MacOS") && QDir().mkpath(contents + "/Helpers")
        && QDir().mkpath(contents + "/Resources/app/bin")
        && copyExecutable(QCoreApplication::applicationFilePath(), contents + "/MacOS/OrvalVPN")
        && copyExecutable(build + "/Helpers/Stelvane", contents + "/Helpers/Stelvane")
        && copyExecutable(build + "/Helpers/openconnect", contents + "/Helpers/openconnect")
        && copyExecutable(build + "/Resources/app/bin/vpnc-script", contents + "/Resources/app/bin/vpnc-script")
        && QFile::copy(build + "/Info.plist", contents + "/Info.plist")
        && copyDirectory(build + "/Platform/bin", contents + "/Platform/bin")
        && copyDirectory(build + "/Platform/lib", contents + "/Platform/lib");
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

} // namespace

class TestOpenConnectLab : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!Lab::isActive())
            QSKIP("runs only inside the test network");
        if (!QFileInfo::exists("/dev/net/tun"))
            QSKIP("no /dev/net/tun");
        if (QStandardPaths::findExecutable("ocserv").isEmpty())
            QSKIP("ocserv is not installed");
        QVERIFY(m_config.isValid());
        QSettings().setValue("config/configDir", m_config.path());
        // The OpenConnect server is read from the site's UDP file, whatever the protocol.
        writeFile(m_config.filePath("site-udp.conf"), "client\nremote " + Lab::serverAddress().toUtf8() + " 1194\n");
        writeFile(m_config.filePath("openconnect.json"), "{\"default\": {\"port\": 4443}}");
        QVERIFY2(Lab::startOcserv(m_server, USER, PASSWORD, VPN_PORT), "ocserv did not start");
    }

    void cleanupTestCase()
    {
        m_server.kill();
        m_server.waitForFinished(5000);
    }

    void connectsCarriesTrafficAndStopsOnce()
    {
        MacOSXAbstractionImpl os;
        RecordingFrontend frontend;
        RecordingHandler handler;
        OpenConnectManagementSocket socket(os, frontend, handler);
        socket.setDelays(500, 10000);
        handler.onPasswordRequest = [&](int) { socket.sendUsernamePassword(USER, PASSWORD); };
        QSignalSpy terminated(&socket, &OpenConnectManagementSocket::onOpenConnectTerminated);

        socket.startVPN(parameters());
        QTRY_VERIFY_WITH_TIMEOUT(!handler.startingWith("state CONNECTED").isEmpty(), 40000);
        const QString connected = handler.startingWith("state CONNECTED").first();
        QVERIFY2(connected.contains(" 198.18.0.") && connected.endsWith(" " + Lab::serverAddress()),
                 qPrintable(connected));
        QVERIFY2(frontend.errors.isEmpty(), qPrintable(frontend.errors.join(" | ")));

        const QString localIp = connected.section(' ', 2, 2);
        const QString addresses = run("ip", {"-4", "-o", "addr", "show"});
        QVERIFY2(addresses.contains("inet " + localIp), qPrintable(addresses));
        const QString routes = run("ip", {"-4", "route", "show"});
        for (const char* split : {"0.0.0.0/2", "64.0.0.0/2", "128.0.0.0/2", "192.0.0.0/2"})
            QVERIFY2(routes.contains(split), qPrintable(routes));
        QVERIFY2(routes.contains(Lab::serverAddress() + " via"), qPrintable(routes));

        QCOMPARE(QProcess::execute("ping", {"-c", "2", "-W", "3", "198.18.0.1"}), 0);
        QTRY_VERIFY_WITH_TIMEOUT(hasTraffic(handler), 10000);

        socket.sendSigTerm();
        QTRY_COMPARE_WITH_TIMEOUT(terminated.count(), 1, 20000);
        QTest::qWait(1000);
        QCOMPARE(terminated.count(), 1);
        QCOMPARE(handler.count("terminated"), 1);
        QVERIFY(!socket.isProcessRunning());
        const QString after = run("ip", {"-4", "route", "show"});
        QVERIFY2(!after.contains("0.0.0.0/2"), qPrintable(after));
    }

    void wrongPasswordEndsWithTheLoginFailedMessage()
    {
        MacOSXAbstractionImpl os;
        RecordingFrontend frontend;
        RecordingHandler handler;
        OpenConnectManagementSocket socket(os, frontend, handler);
        socket.setDelays(500, 3000);
        handler.onPasswordRequest = [&](int) { socket.sendUsernamePassword(USER, "wrong"); };
        QSignalSpy terminated(&socket, &OpenConnectManagementSocket::onOpenConnectTerminated);
        QSignalSpy loginFailed(&socket, &OpenConnectManagementSocket::loginFailed);

        socket.startVPN(parameters());
        QTRY_COMPARE_WITH_TIMEOUT(loginFailed.count(), 1, 40000);
        QCOMPARE(loginFailed.first().first().toString(), QStringLiteral("Login Failed. Please try to connect again."));
        QTRY_COMPARE_WITH_TIMEOUT(terminated.count(), 1, 20000);
        QTest::qWait(500);
        QCOMPARE(terminated.count(), 1);
        // Reaching the server is all that happened: no tunnel states.
        QCOMPARE(handler.startingWith("state"), QStringList{"state CONNECTING"});
    }

private:
    static bool hasTraffic(const RecordingHandler& handler)
    {
        const QStringList counts = handler.startingWith("bytes ");
        return !counts.isEmpty() && counts.last().section(' ', 1, 1).toULongLong() > 0;
    }

    QSharedPointer<ConnectionParameters> parameters() const
    {
        return QSharedPointer<ConnectionParameters>(new OpenConnectConnectionParameters(
            HalvorixServerSite("USA", "Lab", "site-udp.conf", "site-tcp.conf", false, false, QDir(m_config.path()), {},
                               QHostAddress(), GeoLocation(), QString(), 0),
            OpenConnectConnectVia::TCP(), Settings::IksSettings(), false, false));
    }

    static void writeFile(const QString& path, const QByteArray& content)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }


    QTemporaryDir m_config;
    QProcess m_server;
};

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty(IN_BUNDLE))
        return runFromBundle(argc, argv);
    QCoreApplication app(argc, argv);
    TestOpenConnectLab test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_openconnect_lab.moc"
