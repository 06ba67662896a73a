#include "helper/RootOnlyPath.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using stelvane::RootOnlyPath;

class TestRootOnlyPath : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (geteuid() != 0)
            QSKIP("needs root to give files to root and to others");
    }

    // A tree root/a/b/program, changed in one place per row.
    void paths_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("unsafe");
        QTest::newRow("root's alone") << ""
                                      << "a/b/program"
                                      << "";
        QTest::newRow("program writable by its group") << "chmod 775 a/b/program"
                                                       << "a/b/program"
                                                       << "@/a/b/program (owner 0, mode 0775)";
        QTest::newRow("program of another user") << "chown 65534 a/b/program"
                                                 << "a/b/program"
                                                 << "@/a/b/program (owner 65534, mode 0755)";
        QTest::newRow("directory writable by all") << "chmod 777 a"
                                                   << "a/b/program"
                                                   << "@/a (owner 0, mode 0777)";
        QTest::newRow("directory of another user") << "chown 65534 a/b"
                                                   << "a/b/program"
                                                   << "@/a/b (owner 65534, mode 0755)";
        QTest::newRow("sticky directory of root") << "chmod 1777 a"
                                                  << "a/b/program"
                                                  << "";
        QTest::newRow("sticky directory of another user") << "chmod 1777 a; chown 65534 a"
                                                          << "a/b/program"
                                                          << "@/a (owner 65534, mode 1777)";
        QTest::newRow("program is a link") << "ln -s program a/b/link"
                                           << "a/b/link"
                                           << "@/a/b/link (a symbolic link)";
        QTest::newRow("directory is a link") << "ln -s a c"
                                             << "c/b/program"
                                             << "@/c (a symbolic link)";
        QTest::newRow("program is a directory") << ""
                                                << "a/b"
                                                << "@/a/b (owner 0, mode 0755)";
        QTest::newRow("missing program: nothing runs") << ""
                                                       << "a/b/none"
                                                       << "";
    }

    void paths()
    {
        QFETCH(QString, change);
        QFETCH(QString, path);
        QFETCH(QString, unsafe);
        QTemporaryDir dir;
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                      | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther
                                                      | QFile::ExeOther));
        const QString root = QFileInfo(dir.path()).canonicalFilePath();
        const QString setUp = "umask 022 && mkdir -p a/b && touch a/b/program && chmod 755 a/b/program";
        QCOMPARE(QProcess::execute("sh",
                                   {"-c", "cd '" + root + "' && " + setUp + (change.isEmpty() ? "" : " && " + change)}),
                 0);
        QCOMPARE(QString::fromStdString(RootOnlyPath::unsafePart((root + "/" + path).toStdString())),
                 QString(unsafe).replace("@", root));
    }

    void relativePath()
    {
        QCOMPARE(QString::fromStdString(RootOnlyPath::unsafePart("bin/route")),
                 QString("bin/route (not an absolute path)"));
    }
};

QTEST_GUILESS_MAIN(TestRootOnlyPath)
#include "tst_rootonlypath.moc"
