#include "../backend/FakeConnectionParameters.h"
#include "Lab.h"
#include "RecordingLifeCycleHandler.h"
#include "RecordingOsAbstraction.h"

#include "catalogue/BackendOpenVPNConfigCipher.h"
#include "openvpn/AbstractVpnCommand.h"
#include "openvpn/ManagementSocket.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <cstdio>

namespace {
const char* const PROBE_CONFIG = "ORVAL_PROBE_CONFIG";

class ProbeParameters : public FakeConnectionParameters
{
public:
    explicit ProbeParameters(const QString& config)
        : config(config)
    {
    }
    QFileInfo getConfigFile() const override { return QFileInfo(config); }

private:
    QString config;
};

void say(const QString& line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

// The client as the bundle's main program: starts the engine through the
// real helper and prints every engine event on standard output.
int runProbe(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    RecordingOsAbstraction os;
    RecordingLifeCycleHandler handler;
    ManagementSocket socket(os, handler);
    handler.onPrepare = [](AbstractVpnCommand& command) {
        command.enableManagementQueryRemote();
        command.setCipher(BackendOpenVPNConfigCipher("AES-256-GCM", 1194, "", "", "", "", "", 0));
    };
    int passwordRequests = 0;
    handler.passwordAction = [&] {
        // The first answer is wrong on purpose: the engine must ask again.
        socket.sendUsernamePassword("alice", ++passwordRequests == 1 ? "wrong" : "s3cret");
    };
    bool up = false, counted = false, stopping = false;
    const auto drain = [&] {
        while (!handler.events.isEmpty()) {
            const QString event = handler.events.takeFirst();
            say(event);
            up = up || event == "up";
            counted = counted || (event.startsWith("bytecount") && event != "bytecount 0 0");
        }
        if (up && counted && !stopping) {
            stopping = true;
            socket.sendSigTerm();
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
    socket.startVPN(QSharedPointer<ConnectionParameters>(new ProbeParameters(qEnvironmentVariable(PROBE_CONFIG))));
    return app.exec();
}
} // namespace

// The real helper starts the real engine (through the bundle's adapter)
// against a real OpenVPN server in the lab's server namespace.
class TestOpenVpnHelperLab : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QProcess server;
    QString bundle;

    QString path(const QString& name) const { return dir.filePath(name); }

    bool run(const QString& program, const QStringList& arguments)
    {
        QProcess process;
        process.setWorkingDirectory(path("pki"));
        process.start(program, arguments);
        if (!process.waitForFinished(60000) || process.exitCode() != 0) {
            qWarning().noquote() << program << arguments << process.readAllStandardError();
            return false;
        }
        return true;
    }
    static bool write(const QString& file, const QByteArray& content)
    {
        QFile out(file);
        return out.open(QIODevice::WriteOnly) && out.write(content) == content.size();
    }
    static bool copy(const QString& from, const QString& to, QFile::Permissions permissions)
    {
        return QDir().mkpath(QFileInfo(to).path()) && QFile::copy(from, to) && QFile::setPermissions(to, permissions);
    }
    bool makePki()
    {
        const QString ec = "ec_paramgen_curve:prime256v1";
        return QDir().mkpath(path("pki"))
            && run("openssl", {"req", "-x509", "-newkey", "ec", "-pkeyopt", ec, "-nodes", "-keyout", "ca.key", "-out",
                               "ca.crt", "-days", "2", "-subj", "/CN=Orval Lab CA"})
            && write(path("pki/server.ext"), "basicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n")
            && run("openssl", {"req", "-new", "-newkey", "ec", "-pkeyopt", ec, "-nodes", "-keyout", "server.key",
                               "-out", "server.csr", "-subj", "/CN=server"})
            && run("openssl", {"x509", "-req", "-in", "server.csr", "-CA", "ca.crt", "-CAkey", "ca.key",
                               "-CAcreateserial", "-days", "2", "-out", "server.crt", "-extfile", "server.ext"})
            && write(path("pki/verify.sh"), "#!/bin/sh\n{ read -r user; read -r pass; } < \"$1\"\n"
                                            "[ \"$user\" = alice ] && [ \"$pass\" = s3cret ]\n")
            && QFile::setPermissions(path("pki/verify.sh"), QFile::ReadOwner | QFile::ExeOwner);
    }
    // A bundle whose main program is this test in probe mode.
    bool makeBundle()
    {
        const QString built = QStringLiteral(ORVAL_BUNDLE_DIR);
        bundle = path("Probe.app/Contents");
        const QFile::Permissions exec = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
                                      | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
        if (!copy(QCoreApplication::applicationFilePath(), bundle + "/MacOS/OrvalVPN", exec)
            || !copy(built + "/Helpers/Stelvane", bundle + "/Helpers/Stelvane", exec)
            || !copy(built + "/Helpers/openvpn_v2_4", bundle + "/Helpers/openvpn_v2_4", exec)
            || !copy(built + "/Info.plist", bundle + "/Info.plist", QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther))
            return false;
        return QProcess::execute("cp", {"-R", built + "/Platform", bundle + "/Platform"}) == 0
            && QProcess::execute("chmod", {"-R", "go+rX", dir.path()}) == 0
            && QProcess::execute("chmod", {"u+s", bundle + "/Helpers/Stelvane"}) == 0;
    }
    QByteArray clientConfig() const
    {
        QFile ca(path("pki/ca.crt"));
        if (!ca.open(QIODevice::ReadOnly))
            return QByteArray();
        return "client\ndev tun\nproto tcp-client\nremote " + Lab::serverAddress().toLatin1()
             + " 1194\nverify-x509-name server name\nauth-user-pass\nauth-nocache\nconnect-retry-max 1\n"
               "verb 3\n<ca>\n"
             + ca.readAll() + "</ca>\n";
    }

private slots:
    void initTestCase()
    {
        if (!Lab::isActive())
            QSKIP("needs the test lab (run through CTest as root)");
        if (!QFile::exists("/dev/net/tun"))
            QSKIP("needs /dev/net/tun");
        const QString openvpn = QStandardPaths::findExecutable("openvpn", {"/usr/sbin", "/usr/local/sbin"});
        if (openvpn.isEmpty())
            QSKIP("openvpn is not installed");
        QVERIFY(dir.isValid());
        QVERIFY(makePki());
        QVERIFY(makeBundle());
        QVERIFY(QDir().mkpath(path("config")));
        QVERIFY(write(path("config/lab.ovpn"), clientConfig()));
        QProcess::execute("chmod", {"-R", "go+rX", path("config")});
        Lab::startOnServer(server, openvpn,
                           {"--mode", "server", "--tls-server", "--dev", "tun", "--proto", "tcp-server", "--port",
                            "1194", "--topology", "subnet", "--server", "10.99.0.0", "255.255.255.0", "--ca",
                            path("pki/ca.crt"), "--cert", path("pki/server.crt"), "--key", path("pki/server.key"),
                            "--dh", "none", "--verify-client-cert", "none", "--script-security", "2",
                            "--auth-user-pass-verify", path("pki/verify.sh"), "via-file", "--username-as-common-name",
                            "--push", "dhcp-option DNS 10.99.0.1", "--push", "route 192.0.2.0 255.255.255.0",
                            "--verb", "3"});
        QVERIFY2(Lab::waitForServerPort(1194, 20000), server.readAllStandardError().constData());
    }

    void cleanupTestCase()
    {
        if (server.state() != QProcess::NotRunning) {
            server.terminate();
            if (!server.waitForFinished(5000))
                server.kill();
            server.waitForFinished(2000);
        }
    }

    void helperRunsTheEngineFromHoldToConnectedToOneEnd()
    {
        QProcess probe;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(PROBE_CONFIG, path("config/lab.ovpn"));
        environment.remove("WITH_OPENVPN_SIMULATOR");
        probe.setProcessEnvironment(environment);
        probe.start(bundle + "/MacOS/OrvalVPN", QStringList());
        QVERIFY(probe.waitForFinished(90000));
        const QStringList events = QString::fromLocal8Bit(probe.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        const QString log = QString::fromLocal8Bit(probe.readAllStandardError()) + "\nSERVER:\n"
                          + QString::fromLocal8Bit(server.readAllStandardOutput() + server.readAllStandardError());
        if (probe.exitCode() != 0 || !events.contains("state CONNECTED"))
            qWarning().noquote() << "Client and server log:\n" << log;
        QVERIFY2(probe.exitCode() == 0, "the probe did not end by itself (log above)");
        QVERIFY(events.contains("state CONNECTED"));
        QCOMPARE(events.filter("password"), (QStringList{"password 0", "password 1"}));
        QVERIFY(events.contains("hold 0"));
        QVERIFY(events.contains("up"));
        QVERIFY(log.contains("signal SIGTERM") || log.contains("Send SigTerm"));
        QCOMPARE(events.filter("terminated").size(), 1);
        QVERIFY(events.indexOf("closed") < events.indexOf("terminated"));
    }
};

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsSet(PROBE_CONFIG))
        return runProbe(argc, argv);
    QCoreApplication app(argc, argv);
    TestOpenVpnHelperLab test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_openvpn_helper_lab.moc"
