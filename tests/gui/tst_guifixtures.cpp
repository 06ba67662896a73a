#include "AnsweringMessageBoxFactory.h"
#include "RecordingVpnBackend.h"

#include "../backend/RecordingFrontend.h"
#include "gui/NullEventMessageCloser.h"

#include <QDialogButtonBox>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

// The fixtures later GUI tests stand on: they must answer what a user would
// and report what the real backend reports.
class TestGuiFixtures : public QObject
{
    Q_OBJECT

    QSharedPointer<AnsweringMessageBoxFactory> m_factory;

private slots:
    void init()
    {
        m_factory.reset(new AnsweringMessageBoxFactory);
        MessageBoxFactory::setInstance(m_factory);
    }

    void cleanup() { MessageBoxFactory::setInstance({}); }

    void answersABoxItsCallerRuns()
    {
        m_factory->answerWith({"tick no"});
        NullEventMessageCloser closer;
        const QSharedPointer<QMessageBox> box = m_factory->getMessageBoxWithCheckBox(
            nullptr, "Quit?", "Remember", QMessageBox::Yes | QMessageBox::No, MessageBoxFactory::Question, QString(),
            QString(), QMessageBox::No, 0, &closer);
        QCOMPARE(box->exec(), int(QMessageBox::No));
        QVERIFY(box->checkBox()->isChecked());
        QCOMPARE(m_factory->shown.size(), 1);
        QCOMPARE(m_factory->checkBoxTexts, QStringList {"Remember"});
    }

    void answersAnyDialogItsCallerRuns_data()
    {
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<int>("result");
        QTest::newRow("accept") << QStringList {"accept"} << int(QDialog::Accepted);
        QTest::newRow("reject") << QStringList {"reject"} << int(QDialog::Rejected);
        QTest::newRow("none left") << QStringList() << int(QDialog::Rejected);
    }

    void answersAnyDialogItsCallerRuns()
    {
        QFETCH(QStringList, answers);
        QFETCH(int, result);
        m_factory->answerWith(answers);
        QDialog dialog;
        dialog.setWindowTitle("About");
        QCOMPARE(dialog.exec(), result);
        QCOMPARE(m_factory->shown.size(), 1);
        QCOMPARE(m_factory->shown.first().title, QStringLiteral("About"));
    }

    void typesIntoAnInputDialog()
    {
        m_factory->answers = {AnsweringMessageBoxFactory::enterText("office")};
        bool ok = false;
        const QString text = QInputDialog::getText(nullptr, "Name", "Entry name:", QLineEdit::Normal, "home", &ok);
        QVERIFY(ok);
        QCOMPARE(text, QStringLiteral("office"));
        QCOMPARE(m_factory->shown.first().text, QStringLiteral("Entry name:"));
    }

    void choosesAFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("after-connect.sh");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        m_factory->answers = {AnsweringMessageBoxFactory::chooseFile(path)};
        QCOMPARE(QFileDialog::getOpenFileName(nullptr, "Script", dir.path()), path);
    }

    // A modeless dialog is the test's own business; a dialog answered with
    // leave() runs until it ends by itself.
    void leavesModelessAndLeftDialogsAlone()
    {
        m_factory->answers = {AnsweringMessageBoxFactory::leave()};
        QDialog modeless;
        modeless.show();
        QDialog working;
        QTimer::singleShot(50, &working, [&] {
            QVERIFY(modeless.isVisible());
            working.done(7);
        });
        QCOMPARE(working.exec(), 7);
        QCOMPARE(m_factory->shown.size(), 1);
        QVERIFY(m_factory->answers.isEmpty());
    }

    void backendRecordsEveryCall()
    {
        RecordingVpnBackend backend;
        backend.startVPN({}, "alice", "secret");
        backend.skip();
        backend.login("alice", "again");
        backend.refreshPublicIp();
        backend.setSystemNameServers(DnsListEntry("Quad9", QHostAddress("9.9.9.9"), QHostAddress(), false));
        backend.getErrorSender()("Title", "Text");
        backend.closeEvent(42);
        backend.stopVPN();
        backend.abort();
        QCOMPARE(backend.calls,
                 (QStringList {"startVPN alice", "skip", "login alice", "refreshPublicIp",
                               "setSystemNameServers Quad9 [9.9.9.9]", "sendErrorMessageToFrontend Title",
                               "closeEvent 42", "stopVPN", "abort"}));
        QCOMPARE(backend.starts.first().password, QStringLiteral("secret"));
        QCOMPARE(backend.logins.first().second, QStringLiteral("again"));
        QCOMPARE(backend.errors.first().second, QStringLiteral("Text"));
        QCOMPARE(backend.callsOf("stopVPN"), QStringList {"stopVPN"});
        QCOMPARE(backend.callsOf("s"), QStringList());
    }

    void backendReportsTheEndLaterUnlessStillRunning_data()
    {
        QTest::addColumn<bool>("stillRunning");
        QTest::addColumn<QStringList>("reports");
        QTest::newRow("ends") << false << QStringList {"W:closed", "W:terminated", "W:result Aborted by the user."};
        QTest::newRow("still running") << true << QStringList {"W:closed"};
    }

    void backendReportsTheEndLaterUnlessStillRunning()
    {
        QFETCH(bool, stillRunning);
        QFETCH(QStringList, reports);
        QStringList log;
        RecordingFrontend window("W", log);
        RecordingVpnBackend backend;
        backend.frontend = &window;
        backend.stillRunning = stillRunning;
        backend.closeEvent(42);
        backend.stopVPN();
        backend.abort();
        QCOMPARE(log, QStringList {"W:closed"});
        QCoreApplication::processEvents();
        QCOMPARE(log, reports);
    }
};

QTEST_MAIN(TestGuiFixtures)
#include "tst_guifixtures.moc"
