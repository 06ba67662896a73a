#include "app/AbstractMessageHandler.h"
#include "app/AppLogging.h"
#include "app/FileMessageHandler.h"
#include "app/MessagePattern.h"
#include "backend/BackendLogging.h"
#include "catalogue/CatalogueLogging.h"
#include "core/CoreLogging.h"
#include "gui/GuiLogging.h"
#include "openvpn/EngineLogging.h"
#include "prefs/PrefsLogging.h"
#include "system/SystemLogging.h"
#include "websvc/WebsvcLogging.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTest>
#include <QThread>

#include <sys/stat.h>

namespace {
QStringList captured;

void capture(QtMsgType, const QMessageLogContext &, const QString &message)
{
    captured.append(message);
}

const qint64 LIMIT = FileMessageHandler::maximumFileSizeBytes;

// Writes text and pads the file with zeros to size bytes.
void writeLog(const QString &path, const QByteArray &text, qint64 size = -1)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
    if (size >= 0)
        QVERIFY(file.resize(size));
}

mode_t modeOf(const QString &path)
{
    struct stat st
    {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : mode_t(0);
}

QByteArray head(const QString &path, int bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return file.read(bytes);
}

QByteArray tail(const QString &path, int bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    file.seek(qMax<qint64>(0, file.size() - bytes));
    return file.readAll();
}
} // namespace

Q_DECLARE_METATYPE(const QLoggingCategory *)

class TestFileMessageHandler : public QObject
{
    Q_OBJECT

    QDir m_logs;
    QtMessageHandler m_testHandler = nullptr;

    QString log(int number) const { return m_logs.absoluteFilePath(QStringLiteral("log_%1.txt").arg(number)); }

private slots:
    // As the program does before its first message.
    void initTestCase() { MessagePattern::install(); }

    void init()
    {
        m_logs = FileMessageHandler::getLogDirectory();
        QVERIFY(m_logs.removeRecursively());
        m_logs = FileMessageHandler::getLogDirectory();
        captured.clear();
        m_testHandler = qInstallMessageHandler(capture);
    }

    void cleanup() { qInstallMessageHandler(m_testHandler); }

    void humanReadableByte_data()
    {
        QTest::addColumn<quint64>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << quint64(0) << "0 B";
        QTest::newRow("1023") << quint64(1023) << "1023 B";
        QTest::newRow("1024") << quint64(1024) << "1.000 KiB";
        QTest::newRow("1536") << quint64(1536) << "1.500 KiB";
        QTest::newRow("limit") << quint64(20971520) << "20.000 MiB";
        QTest::newRow("GiB") << (quint64(1) << 30) << "1.000 GiB";
    }

    void humanReadableByte()
    {
        QFETCH(quint64, bytes);
        QFETCH(QString, text);
        QCOMPARE(AbstractMessageHandler::humanReadableByte(bytes), text);
    }

    void writesFormattedLinesToLog0()
    {
        {
            FileMessageHandler handler;
            qDebug() << "first line" << QStringLiteral("quoted") << 7;
            qWarning("second line \xc3\xa4");
        }
        QCOMPARE(head(log(0), 200), QByteArray("first line \"quoted\" 7\nsecond line \xc3\xa4\n"
                                               "FileMessageHandler: switch back to previous handler\n"
                                               "FileMessageHandler: closing log file\n"));
        // The handler puts the previous one back when it goes away.
        qDebug("after");
        QVERIFY(captured.contains(QStringLiteral("after")));
        QVERIFY(captured.contains(QStringLiteral("FileMessageHandler: back to previous log message handler")));
    }

    // Debug lines are on by default in every area's category, as they are
    // without one, and a record is the text alone, without the category.
    void everyAreasDebugLinesAreWrittenAsTheirText_data()
    {
        QTest::addColumn<const QLoggingCategory *>("category");
        for (const QLoggingCategory *category : {&lcCore(), &lcPrefs(), &lcWebsvc(), &lcCatalogue(), &lcSystem(),
                                                 &lcHelperRunner(), &lcEngine(), &lcBackend(), &lcApp(), &lcGui()})
            QTest::newRow(category->categoryName()) << category;
    }

    void everyAreasDebugLinesAreWrittenAsTheirText()
    {
        QFETCH(const QLoggingCategory *, category);
        const QLoggingCategory &area = *category;
        {
            FileMessageHandler handler;
            qCDebug(area) << "a line of" << QStringLiteral("an area");
        }
        QCOMPARE(head(log(0), 200).split('\n').value(0), QByteArray("a line of \"an area\""));
    }

    void rotationAtConstruction_data()
    {
        QTest::addColumn<QList<int>>("present");
        QTest::addColumn<int>("oversized");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<bool>("rotated");
        QTest::newRow("log_0 exactly at the limit") << QList<int> {0} << 0 << LIMIT << true;
        QTest::newRow("log_0 below the limit") << QList<int> {0} << 0 << LIMIT - 200 << false;
        QTest::newRow("full set, log_0 over") << QList<int> {0, 1, 2, 3, 4} << 0 << LIMIT + 1 << true;
        QTest::newRow("only log_3 over") << QList<int> {3} << 3 << LIMIT + 1 << false;
        QTest::newRow("gap in the set") << QList<int> {0, 2} << 0 << LIMIT << true;
    }

    void rotationAtConstruction()
    {
        QFETCH(QList<int>, present);
        QFETCH(int, oversized);
        QFETCH(qint64, size);
        QFETCH(bool, rotated);
        for (int n : present)
            writeLog(log(n), QByteArray("marker ") + QByteArray::number(n) + "\n", n == oversized ? size : -1);

        {
            FileMessageHandler handler;
            qDebug("fresh");
        }

        for (int n : present) {
            const int expectedAt = rotated ? n + 1 : n;
            if (expectedAt > 4) {
                continue;
            }
            QCOMPARE(head(log(expectedAt), 9), QByteArray("marker ") + QByteArray::number(n) + "\n");
        }
        QVERIFY(!QFile::exists(m_logs.absoluteFilePath(QStringLiteral("log_5.txt"))));
        if (rotated)
            QVERIFY(head(log(0), 100).startsWith("fresh\n"));
        else
            QVERIFY(tail(log(0), 100).contains("fresh\n"));
        QVERIFY(m_logs.entryList(QDir::Files).size() <= 5);
    }

    void writeRotatesOnlyAboveTheLimit()
    {
        FileMessageHandler handler;
        QVERIFY(QFile::resize(log(0), LIMIT));
        qDebug("a");
        QVERIFY2(!QFile::exists(log(1)), "a file of exactly the limit is not rotated before a write");
        QCOMPARE(QFileInfo(log(0)).size(), LIMIT + 2);
        qDebug("b");
        QCOMPARE(QFileInfo(log(1)).size(), LIMIT + 2);
        QCOMPARE(tail(log(1), 2), QByteArray("a\n"));
        QCOMPARE(head(log(0), 100), QByteArray("b\n"));
    }

    void fiveFilesAtMostAcrossManyRotations()
    {
        FileMessageHandler handler;
        for (int round = 0; round < 7; ++round) {
            QVERIFY(QFile::resize(log(0), LIMIT + 1));
            qDebug() << "round" << round;
        }
        QStringList names = m_logs.entryList(QDir::Files, QDir::Name);
        QCOMPARE(names, QStringList({"log_0.txt", "log_1.txt", "log_2.txt", "log_3.txt", "log_4.txt"}));
        // Each file holds the line written just before it was padded over the limit.
        QCOMPARE(head(log(0), 8), QByteArray("round 6\n"));
        QCOMPARE(head(log(1), 8), QByteArray("round 5\n"));
        QCOMPARE(head(log(4), 8), QByteArray("round 2\n"));
    }

    // The logs hold the engine's management dialogue: their folder and every
    // log, new, rotated or left readable by an older build, are the user's alone.
    void logsAreOwnerOnly_data()
    {
        QTest::addColumn<bool>("olderBuild");
        QTest::newRow("fresh") << false;
        QTest::newRow("left readable by an older build") << true;
    }

    void logsAreOwnerOnly()
    {
        QFETCH(bool, olderBuild);
        const mode_t previousMask = ::umask(022);
        if (olderBuild) {
            QCOMPARE(::chmod(QFile::encodeName(m_logs.path()).constData(), 0755), 0);
            writeLog(log(0), "old\n", LIMIT);
            writeLog(log(1), "older\n");
            for (int n : {0, 1})
                QCOMPARE(::chmod(QFile::encodeName(log(n)).constData(), 0644), 0);
        }
        {
            FileMessageHandler handler;
            qDebug("first");
            QVERIFY(QFile::resize(log(0), LIMIT + 1));
            qDebug("after a rotation");
        }
        ::umask(previousMask);
        QCOMPARE(modeOf(m_logs.path()), mode_t(0700));
        const QStringList logs = m_logs.entryList(QDir::Files);
        QVERIFY(logs.size() >= 2);
        for (const QString &name : logs)
            QVERIFY2(modeOf(m_logs.absoluteFilePath(name)) == 0600, qPrintable(name));
    }

    void leftoversAreRemovedAtStart()
    {
        writeLog(m_logs.absoluteFilePath("log_.txt"), "x");
        writeLog(m_logs.absoluteFilePath("log_20240131-235959.txt"), "x");
        writeLog(m_logs.absoluteFilePath("log_20250101-000000.txt"), "x");
        writeLog(m_logs.absoluteFilePath("notes.txt"), "kept");
        {
            FileMessageHandler handler;
        }
        QCOMPARE(m_logs.entryList(QDir::Files, QDir::Name), QStringList({"log_0.txt", "notes.txt"}));
    }

    void failedRenameKeepsTheLines()
    {
        writeLog(log(0), "written before\n", LIMIT + 1);
        QVERIFY(m_logs.mkdir("log_1.txt")); // the rename target is taken
        {
            FileMessageHandler handler;
            qDebug("written after");
        }
        QCOMPARE(head(log(0), 15), QByteArray("written before\n"));
        QVERIFY(tail(log(0), 200).contains("written after\n"));
    }

    void unopenableLogFallsBackWithoutLosingLines()
    {
        FileMessageHandler handler;
        qDebug("kept in the file");
        QVERIFY(QFile::resize(log(0), LIMIT + 1));
        const QString moved = m_logs.absolutePath() + "-moved";
        QDir(moved).removeRecursively();
        QVERIFY(QDir().rename(m_logs.absolutePath(), moved));

        qDebug("needs a new file");
        qDebug("later");

        QVERIFY(captured.contains(QStringLiteral("needs a new file")));
        QVERIFY(captured.contains(QStringLiteral("later")));
        QFile old(moved + "/log_0.txt");
        QVERIFY(old.open(QIODevice::ReadOnly));
        QVERIFY(old.readAll().startsWith("kept in the file\n"));
        QDir(moved).removeRecursively();
    }

    void linesFromSeveralThreadsStayWhole()
    {
        {
            FileMessageHandler handler;
            QList<QThread *> threads;
            for (int t = 0; t < 4; ++t) {
                threads.append(QThread::create([t] {
                    for (int line = 0; line < 500; ++line)
                        qDebug("thread %d line %d", t, line);
                }));
                threads.last()->start();
            }
            for (QThread *thread : threads) {
                thread->wait();
                delete thread;
            }
        }
        QFile file(log(0));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QSet<QByteArray> lines;
        for (const QByteArray &line : file.readAll().split('\n')) {
            if (line.startsWith("thread "))
                lines.insert(line);
        }
        QCOMPARE(lines.size(), 2000);
        QVERIFY(lines.contains("thread 3 line 499"));
    }

    void removeAllLogs()
    {
        for (int n : {0, 1, 4})
            writeLog(log(n), "x");
        writeLog(m_logs.absoluteFilePath("log_20240131-235959.txt"), "x");
        writeLog(m_logs.absoluteFilePath("other.txt"), "kept");
        QVERIFY(FileMessageHandler::removeAllLogs());
        QCOMPARE(m_logs.entryList(QDir::Files), QStringList({"other.txt"}));
        QVERIFY(FileMessageHandler::removeAllLogs());
    }

    void currentLogNamesLog0() { QCOMPARE(FileMessageHandler::getCurrentLog().absoluteFilePath(), log(0)); }
};

QTEST_GUILESS_MAIN(TestFileMessageHandler)
#include "tst_filemessagehandler.moc"
