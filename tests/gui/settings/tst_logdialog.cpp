#include "app/FileMessageHandler.h"
#include "gui/settings/LogDialog.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>

class TestLogDialog : public QObject
{
    Q_OBJECT

    QString m_logPath;

    void writeLog(const QByteArray &bytes, QIODevice::OpenMode mode = QIODevice::Truncate)
    {
        QFile file(m_logPath);
        QVERIFY(file.open(QIODevice::WriteOnly | mode));
        file.write(bytes);
    }

    static QString shown(LogDialog &dialog) { return dialog.findChild<QTextBrowser *>("logViewer")->toPlainText(); }

    static void click(LogDialog &dialog, const char *button)
    {
        QPushButton *found = dialog.findChild<QPushButton *>(button);
        QVERIFY(found);
        found->click();
    }

private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(vpnbackend);
        m_logPath = FileMessageHandler::getCurrentLog().absoluteFilePath();
        QVERIFY(!m_logPath.isEmpty());
    }

    void init() { QFile::remove(m_logPath); }

    void form()
    {
        LogDialog dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Debug Log"));
        QCOMPARE(dialog.size(), QSize(506, 522));
        QCOMPARE(dialog.findChild<QPushButton *>("copyToClipboardButton")->text(), QStringLiteral("Copy to Clipboard"));
        QCOMPARE(dialog.findChild<QPushButton *>("refreshLogButton")->text(), QStringLiteral("Refresh"));
        QCOMPARE(dialog.findChild<QPushButton *>("closeButton")->text(), QStringLiteral("Close"));
        QVERIFY(dialog.findChild<QTextBrowser *>("logViewer")->isReadOnly());
        QVERIFY(dialog.styleSheet().contains("logViewer"));
    }

    void missingLogLeavesTheViewEmpty()
    {
        LogDialog dialog;
        QVERIFY(shown(dialog).isEmpty());
        click(dialog, "refreshLogButton");
        QVERIFY(shown(dialog).isEmpty());
    }

    void newLinesAppearOnlyAfterRefresh()
    {
        writeLog("first line\n");
        LogDialog dialog;
        QCOMPARE(shown(dialog), QStringLiteral("first line\n"));
        writeLog("second line\n", QIODevice::Append);
        QCOMPARE(shown(dialog), QStringLiteral("first line\n"));
        click(dialog, "refreshLogButton");
        QCOMPARE(shown(dialog), QStringLiteral("first line\nsecond line\n"));
    }

    void vanishedLogKeepsTheLastText()
    {
        writeLog("kept\n");
        LogDialog dialog;
        QFile::remove(m_logPath);
        click(dialog, "refreshLogButton");
        QCOMPARE(shown(dialog), QStringLiteral("kept\n"));
    }

    void textStopsAtNul()
    {
        writeLog(QByteArray("before\0after\n", 13));
        LogDialog dialog;
        QCOMPARE(shown(dialog), QStringLiteral("before"));
    }

    void utf8Text()
    {
        writeLog("Z\xc3\xbcrich\n");
        LogDialog dialog;
        QCOMPARE(shown(dialog), QString::fromUtf8("Z\xc3\xbcrich\n"));
    }

    // Log lines carry text from engines and servers: a line that looks like
    // HTML must show as written, never render (links would navigate).
    void markupInTheLogShowsAsWritten_data()
    {
        QTest::addColumn<QByteArray>("log");
        QTest::newRow("tag in the first line") << QByteArray("<b>x</b>\nsecond\n");
        QTest::newRow("link") << QByteArray("<a href=\"file:///tmp/secret\">open</a>\n");
    }

    void markupInTheLogShowsAsWritten()
    {
        QFETCH(QByteArray, log);
        writeLog(log);
        LogDialog dialog;
        QCOMPARE(shown(dialog), QString::fromUtf8(log));
        QVERIFY(dialog.findChild<QTextBrowser *>("logViewer")->toHtml().contains("&lt;"));
        click(dialog, "copyToClipboardButton");
        QCOMPARE(QApplication::clipboard()->text(), QString::fromUtf8(log));
    }

    void copyTakesTheWholeLog()
    {
        writeLog("one\ntwo\nthree\n");
        LogDialog dialog;
        QTextBrowser *viewer = dialog.findChild<QTextBrowser *>("logViewer");
        QTextCursor cursor = viewer->textCursor();
        cursor.setPosition(1);
        cursor.setPosition(3, QTextCursor::KeepAnchor);
        viewer->setTextCursor(cursor);
        QApplication::clipboard()->setText("previous");
        click(dialog, "copyToClipboardButton");
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("one\ntwo\nthree\n"));
    }

    void closeButtonEndsTheDialog()
    {
        LogDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        click(dialog, "closeButton");
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }
};

QTEST_MAIN(TestLogDialog)
#include "tst_logdialog.moc"
