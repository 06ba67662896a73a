#include "helper/IllegalArgumentException.h"
#include "helper/OpenVpnConfigCheck.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using stelvane::IllegalArgumentException;
using stelvane::OpenVpnConfigCheck;

class TestOpenVpnConfigCheck : public QObject
{
    Q_OBJECT

private slots:
    void directives_data()
    {
        QTest::addColumn<QString>("config");
        QTest::addColumn<QString>("refused");
        QTest::newRow("ordinary client") << "client\ndev tun\nproto udp\nremote 192.0.2.1 1194\nca ca.crt\nverb 3\n" << "";
        QTest::newRow("up") << "client\nup /tmp/x.sh\n" << "up";
        QTest::newRow("indented down") << "   \tdown /tmp/x.sh\n" << "down";
        QTest::newRow("double dash") << "--plugin /tmp/x.so\n" << "--plugin";
        QTest::newRow("quoted name") << "\"route-up\" /tmp/x\n" << "route-up";
        QTest::newRow("escaped name") << "u\\p /tmp/x\n" << "up";
        QTest::newRow("single-quoted name") << "'tls-verify' x\n" << "tls-verify";
        QTest::newRow("upper case") << "UP /tmp/x\n" << "UP";
        QTest::newRow("CR line end") << "log /tmp/x\r\n" << "log";
        QTest::newRow("setenv opt") << "setenv opt up /tmp/x\n" << "up";
        QTest::newRow("management variant") << "management-client-user root\n" << "management-client-user";
        QTest::newRow("nested config") << "config /etc/other.conf\n" << "config";
        QTest::newRow("iproute") << "iproute /tmp/ip\n" << "iproute";
        QTest::newRow("status file") << "status /etc/cron.d/x\n" << "status";
        QTest::newRow("engine") << "engine dynamic\n" << "engine";
        QTest::newRow("writepid") << "writepid /etc/passwd\n" << "writepid";
        QTest::newRow("script-security") << "script-security 3\n" << "script-security";
        QTest::newRow("cd") << "cd /\n" << "cd";
        QTest::newRow("comments") << "# up /tmp/x\n; down /tmp/x\n" << "";
        QTest::newRow("setenv plain") << "setenv FOO up\n" << "";
        QTest::newRow("word containing a name") << "route-nopull\nupdown-thing 1\n" << "";
        QTest::newRow("inline data skipped") << "<ca>\nup\ndown\n</ca>\nverb 3\n" << "";
        QTest::newRow("inline block of a refused name") << "<up>\n/tmp/x\n</up>\n" << "up";
        QTest::newRow("connection block is read") << "<connection>\nremote 192.0.2.1\nup /tmp/x\n</connection>\n" << "up";
        QTest::newRow("after a data block") << "<key>\nx\n</key>\nchroot /tmp\n" << "chroot";
    }

    void directives()
    {
        QFETCH(QString, config);
        QFETCH(QString, refused);
        QCOMPARE(QString::fromStdString(OpenVpnConfigCheck::refusedDirective(config.toStdString())), refused);
    }

    void words()
    {
        const auto w = OpenVpnConfigCheck::words("remote \"a b\" 'c\\d' e\\ f # g");
        QCOMPARE(int(w.size()), 4);
        QCOMPARE(w[0], std::string("remote"));
        QCOMPARE(w[1], std::string("a b"));
        QCOMPARE(w[2], std::string("c\\d"));
        QCOMPARE(w[3], std::string("e f"));
    }

    void files_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("relative") << "ok.conf" << "";
        QTest::newRow("in a subdirectory") << "sub/ok.conf" << "";
        QTest::newRow("absolute inside") << "@DIR@/ok.conf" << "";
        QTest::newRow("through ..") << "../outside.conf" << "outside the configuration directory";
        QTest::newRow("absolute outside") << "@ROOT@/outside.conf" << "outside the configuration directory";
        QTest::newRow("link to outside") << "link.conf" << "outside the configuration directory";
        QTest::newRow("directory") << "sub" << "not a regular file of at most 1 MiB";
        QTest::newRow("fifo") << "fifo" << "not a regular file of at most 1 MiB";
        QTest::newRow("missing") << "none.conf" << "not found";
        QTest::newRow("empty name") << "" << "not found";
        QTest::newRow("the directory itself") << "." << "outside the configuration directory";
        QTest::newRow("refused directive") << "bad.conf" << "directive \"up\" is not allowed";
    }

    void files()
    {
        QFETCH(QString, file);
        QFETCH(QString, refusal);
        QTemporaryDir root;
        const QString dir = root.path() + "/conf";
        QVERIFY(QDir().mkpath(dir + "/sub"));
        auto write = [](const QString &path, const QByteArray &data) {
            QFile f(path);
            return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
        };
        QVERIFY(write(dir + "/ok.conf", "client\n"));
        QVERIFY(write(dir + "/sub/ok.conf", "client\n"));
        QVERIFY(write(dir + "/bad.conf", "client\nup /bin/sh\n"));
        QVERIFY(write(root.path() + "/outside.conf", "client\n"));
        QVERIFY(QFile::link(root.path() + "/outside.conf", dir + "/link.conf"));
        QVERIFY(mkfifo(QFile::encodeName(dir + "/fifo").constData(), 0600) == 0);
        file.replace("@DIR@", dir).replace("@ROOT@", root.path());
        std::string canonical;
        QString failure;
        try {
            QCOMPARE(OpenVpnConfigCheck::load(dir.toStdString(), file.toStdString(), canonical), std::string("client\n"));
            QCOMPARE(QString::fromStdString(canonical), QFileInfo(dir).canonicalFilePath());
        } catch (const IllegalArgumentException &e) {
            failure = QString::fromStdString(e.toString());
        }
        if (refusal.isEmpty())
            QCOMPARE(failure, QString());
        else
            QCOMPARE(failure, "IllegalArgumentException: configFile=" + file + " (" + refusal + ")");
    }
};

QTEST_GUILESS_MAIN(TestOpenVpnConfigCheck)
#include "tst_openvpnconfigcheck.moc"
