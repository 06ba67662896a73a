#include "../backend/FakeConnectionParameters.h"
#include "RecordingLifeCycleHandler.h"
#include "RecordingOsAbstraction.h"

#include "gui/OpenVPNSimulatorDialog.h"
#include "openvpn/ManagementSocket.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTextEdit>
#include <QtTest>

class TestSimulatorDialog : public QObject
{
    Q_OBJECT

    static OpenVPNSimulatorDialog *openDialog()
    {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (auto *dialog = qobject_cast<OpenVPNSimulatorDialog *>(widget))
                return dialog;
        }
        return nullptr;
    }
    template<typename W>
    static W *child(QWidget *dialog, const char *name)
    {
        return dialog->findChild<W *>(QLatin1String(name));
    }
    static void send(QWidget *dialog, const char *templateButton)
    {
        QTest::mouseClick(child<QPushButton>(dialog, templateButton), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(dialog, "sendMex"), Qt::LeftButton);
    }
    static QString history(QWidget *dialog) { return child<QTextEdit>(dialog, "connLogText")->toPlainText(); }

private slots:
    void initTestCase()
    {
        qputenv("WITH_OPENVPN_SIMULATOR", "true");
        OpenVPNSimulatorDialog::install();
    }

    void playsTheEngineUntilClosed()
    {
        RecordingOsAbstraction os;
        RecordingLifeCycleHandler handler;
        ManagementSocket socket(os, handler);
        QSignalSpy terminated(&socket, &ManagementSocket::onOpenVpnTerminated);
        socket.startVPN(QSharedPointer<ConnectionParameters>(new FakeConnectionParameters()));
        QPointer<OpenVPNSimulatorDialog> dialog = openDialog();
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("OpenVPN Simulator"));
        QCOMPARE(dialog->size(), QSize(527, 492));
        QVERIFY(!socket.isProcessRunning());
        QTRY_VERIFY(handler.events.contains("accepted"));
        QVERIFY(history(dialog).contains(QStringLiteral("Host: localhost - Port: %1").arg(socket.serverPort())));
        QVERIFY(!history(dialog).contains("ERROR"));

        send(dialog, "hold");
        QTRY_VERIFY(history(dialog).contains("hold release"));
        QCOMPARE(handler.events.filter("hold"), QStringList {"hold 0"});
        QVERIFY(history(dialog).contains("echo on all"));
        QVERIFY(child<QLineEdit>(dialog, "commandLine")->text().isEmpty());
        QVERIFY(child<QLineEdit>(dialog, "hintCommand")->text().isEmpty());

        child<QComboBox>(dialog, "stateToSend")->setCurrentText("RECONNECTING");
        QTest::mouseClick(child<QPushButton>(dialog, "sendState"), Qt::LeftButton);
        QCOMPARE(child<QLineEdit>(dialog, "commandLine")->text(), QStringLiteral(">STATE:,RECONNECTING,,,"));
        QTest::mouseClick(child<QPushButton>(dialog, "sendMex"), Qt::LeftButton);
        QTRY_COMPARE(handler.events.last(), QStringLiteral("state RECONNECTING"));

        socket.sendSigTerm();
        QTRY_VERIFY(history(dialog).contains("Note: the user wants to close the connection."));
        QCOMPARE(terminated.count(), 0);

        QTest::mouseClick(child<QPushButton>(dialog, "closeSim"), Qt::LeftButton);
        QTRY_VERIFY(!dialog);
        QTRY_COMPARE(terminated.count(), 1);
        QCOMPARE(handler.events.filter("terminated").size(), 1);
    }

    void templatesReplaceWhatWasTyped_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("hint");
        QTest::newRow("connect") << "connectMex"
                                 << ">STATE:,CONNECTED,,,"
                                 << ">STATE:timestamp,(*)state,cause,localIP,remoteIP";
        QTest::newRow("password") << "passRequest"
                                  << ">PASSWORD:Need"
                                  << ">PASSWORD:(*)Need";
        QTest::newRow("remote") << "remote"
                                << ">REMOTE:,,"
                                << ">REMOTE:host,port,protocol";
        QTest::newRow("bytes") << "bytesSentRecv"
                               << ">BYTECOUNT:,"
                               << ">BYTECOUNT:int,int";
    }
    void templatesReplaceWhatWasTyped()
    {
        QFETCH(QString, button);
        QProcess process;
        // Nobody listens: the dialog reports it and stays usable.
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const int port = closed.serverPort();
        closed.close();
        QPointer<OpenVPNSimulatorDialog> dialog =
            new OpenVPNSimulatorDialog(process, port, "0123456789abcdef0123456789abcdef");
        QVERIFY(history(dialog).contains("ERROR: Socket not connected! The simulator will not work!"));
        child<QLineEdit>(dialog, "commandLine")->setText("typed");
        QTest::mouseClick(child<QPushButton>(dialog, button.toLatin1().constData()), Qt::LeftButton);
        QTEST(child<QLineEdit>(dialog, "commandLine")->text(), "line");
        QTEST(child<QLineEdit>(dialog, "hintCommand")->text(), "hint");
        QSignalSpy finished(&process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished));
        dialog->close();
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.first().at(0).toInt(), 1);
        QTRY_VERIFY(!dialog);
    }
};

QTEST_MAIN(TestSimulatorDialog)
#include "tst_simulatordialog.moc"
