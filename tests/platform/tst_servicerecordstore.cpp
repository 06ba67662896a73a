#include "ServiceRecordStore.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using standins::ServiceRecordStore;

mode_t modeOf(const QString &path)
{
    struct stat status
    {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & 07777 : 0;
}

} // namespace

// The folder the network stand-ins keep their records in: they run as root
// for any local user, so neither the folder nor a file in it may be one that
// another user made, may change, or points elsewhere.
class TestServiceRecordStore : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString folder() const { return m_dir.filePath("records"); }

private slots:
    void init()
    {
        QFile::remove(folder());
        QDir(folder()).removeRecursively();
        QDir(folder() + ".real").removeRecursively();
    }

    void makesTheFolderItsOwnersAlone()
    {
        ::umask(0);
        ServiceRecordStore store(folder().toStdString());
        std::string error;
        QVERIFY2(store.open(error), error.c_str());
        ::umask(022);
        QCOMPARE(modeOf(folder()), mode_t(0700));
    }

    void keepsReplacesAndRemovesFiles()
    {
        ServiceRecordStore store(folder().toStdString());
        std::string error;
        QVERIFY2(store.open(error), error.c_str());
        QVERIFY2(store.save("4026532174-eth0", "first\n", error), error.c_str());
        QVERIFY2(store.save("4026532174-eth0", "second\n", error), error.c_str());
        QVERIFY2(store.save("40265321740-eth0", "other namespace\n", error), error.c_str());
        std::string content;
        QVERIFY(store.load("4026532174-eth0", content));
        QCOMPARE(content, std::string("second\n"));
        QCOMPARE(modeOf(folder() + "/4026532174-eth0"), mode_t(0600));
        QCOMPARE(store.names("4026532174-"), std::vector<std::string> {"4026532174-eth0"});
        // Nothing half-written is left beside the files.
        QCOMPARE(QDir(folder()).entryList(QDir::Files | QDir::Hidden).size(), 2);
        store.remove("4026532174-eth0");
        QVERIFY(!store.load("4026532174-eth0", content));
        QCOMPARE(store.names("4026532174-"), std::vector<std::string>());
    }

    void refusesNamesThatLeaveTheFolder_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("parent") << "../escape";
        QTest::newRow("path") << "sub/file";
        QTest::newRow("hidden") << ".hidden";
        QTest::newRow("empty") << "";
    }

    void refusesNamesThatLeaveTheFolder()
    {
        QFETCH(QString, name);
        ServiceRecordStore store(folder().toStdString());
        std::string error;
        QVERIFY2(store.open(error), error.c_str());
        QVERIFY(!store.save(name.toStdString(), "x\n", error));
        QVERIFY(!QFile::exists(m_dir.filePath("escape")));
    }

    void refusesAFolderOthersMayUse_data()
    {
        QTest::addColumn<QString>("setUp");
        QTest::newRow("group may write") << "chmod 0770 F";
        QTest::newRow("others may enter") << "chmod 0701 F";
        QTest::newRow("link to a folder") << "mkdir -m 0700 F.real && ln -s F.real F";
        QTest::newRow("a file") << "touch F && chmod 0600 F";
        QTest::newRow("another user's") << "chown 65534 F";
    }

    void refusesAFolderOthersMayUse()
    {
        QFETCH(QString, setUp);
        if (setUp.startsWith("chown") && ::geteuid() != 0)
            QSKIP("needs root to give the folder to another user");
        QVERIFY(setUp.startsWith("mkdir") || setUp.startsWith("touch") || QDir().mkdir(folder()));
        QCOMPARE(QProcess::execute("sh", {"-c", QString(setUp).replace("F", folder())}), 0);
        ServiceRecordStore store(folder().toStdString());
        std::string error;
        QVERIFY(!store.open(error));
        QVERIFY2(QString::fromStdString(error).contains(folder()), error.c_str());
        QVERIFY(!store.save("4026532174-eth0", "x\n", error));
        QVERIFY(!QFile::exists(folder() + "/4026532174-eth0") && !QFile::exists(folder() + ".real/4026532174-eth0"));
    }

    void refusesFilesOthersMayChange_data()
    {
        QTest::addColumn<QString>("setUp");
        QTest::newRow("others may write") << "chmod 0666 R";
        QTest::newRow("group may write") << "chmod 0620 R";
        QTest::newRow("link to a file") << "mv R R.real && ln -s R.real R";
        QTest::newRow("another user's") << "chown 65534 R";
        QTest::newRow("a folder") << "rm R && mkdir R";
        QTest::newRow("a pipe") << "rm R && mkfifo R";
    }

    void refusesFilesOthersMayChange()
    {
        QFETCH(QString, setUp);
        if (setUp.startsWith("chown") && ::geteuid() != 0)
            QSKIP("needs root to give the file to another user");
        ServiceRecordStore store(folder().toStdString());
        std::string error;
        QVERIFY2(store.open(error), error.c_str());
        QVERIFY2(store.save("4026532174-eth0", "record\n", error), error.c_str());
        QCOMPARE(QProcess::execute("sh", {"-c", QString(setUp).replace("R", folder() + "/4026532174-eth0")}), 0);
        std::string content;
        QVERIFY(!store.load("4026532174-eth0", content));
    }
};

QTEST_GUILESS_MAIN(TestServiceRecordStore)
#include "tst_servicerecordstore.moc"
