#include "app/OrvalVPNCommandLineParser.h"
#include "app/RunnableConstructorException.h"

#include <QApplication>
#include <QTest>

#include <stdexcept>

namespace {
QStringList captured;
QtMessageHandler testHandler = nullptr;

void capture(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    captured.append(message);
    testHandler(type, context, message);
}

char program[] = "OrvalVPN";
char *noOptions[] = {program, nullptr};
} // namespace

class TestCommandLineParser : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { testHandler = qInstallMessageHandler(capture); }

    void noOptionRunsTheGui()
    {
        bool ran = false;
        OrvalVPNCommandLineParser parser("OrvalVPN", [&](QApplication &) {
            ran = true;
            return 5;
        });
        parser.parse(1, noOptions);
        QCOMPARE(parser.runRunnable(*qApp), 5);
        QVERIFY(ran);
    }

    void runModeThatCannotBeBuiltEndsWithItsCode()
    {
        captured.clear();
        OrvalVPNCommandLineParser parser("OrvalVPN", [](QApplication &) -> int {
            throw RunnableConstructorException(
                "Error: client server negotiation failed. Please check the log for more details", 1);
        });
        parser.parse(1, noOptions);
        QCOMPARE(parser.runRunnable(*qApp), 1);
        QCOMPARE(captured.last(), QStringLiteral("Runnable can not be constructed - error: \"Error: client server "
                                                 "negotiation failed. Please check the log for more details\" - "
                                                 "exitCode: 1"));
    }

    void otherExceptionsReachTheEntry()
    {
        OrvalVPNCommandLineParser parser("OrvalVPN", [](QApplication &) -> int { throw std::runtime_error("x"); });
        parser.parse(1, noOptions);
        QVERIFY_EXCEPTION_THROWN(parser.runRunnable(*qApp), std::runtime_error);
    }
};

QTEST_MAIN(TestCommandLineParser)
#include "tst_commandlineparser.moc"
