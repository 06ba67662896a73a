#include "RecordingMessageBoxFactory.h"
#include "gui/EventMessageCloserImpl.h"
#include "gui/MessageBoxBasic.h"
#include "gui/MessageBoxOrvalVPN.h"
#include "gui/NullEventMessageCloser.h"
#include "gui/VyxMessageBox.h"

#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QTimer>

Q_DECLARE_METATYPE(RecordingMessageBoxFactory::Answer)

namespace {
QStringList captured;
QtMessageHandler testHandler = nullptr;

void capture(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    captured.append(message);
    testHandler(type, context, message);
}
} // namespace

class TestMessageBox : public QObject
{
    Q_OBJECT

    NullEventMessageCloser m_nullCloser;

    QSharedPointer<QMessageBox> box(MessageBoxFactory &factory, MessageBoxFactory::iconType icon, const QString &title,
                                    QWidget *parent = nullptr)
    {
        return factory.getMessageBox(parent, "text", QMessageBox::Ok, icon, QString(), title, QMessageBox::NoButton, 0,
                                     &m_nullCloser);
    }

private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(vpnbackend);
        testHandler = qInstallMessageHandler(capture);
    }

    void fallbackFactoryWhenNoneIsSet()
    {
        MessageBoxFactory::setInstance({});
        captured.clear();
        MessageBoxFactory *factory = MessageBoxFactory::getInstance();
        QVERIFY(dynamic_cast<MessageBoxBasic *>(factory));
        QVERIFY(captured.contains("Warning, MessageBoxStyle not set: use MessageBoxBasic"));
        QCOMPARE(MessageBoxFactory::getInstance(), factory);
        const QSharedPointer<QMessageBox> plain = box(*factory, MessageBoxFactory::Critical, QString());
        QCOMPARE(plain->windowTitle(), QStringLiteral("MessageBox"));
        QCOMPARE(plain->icon(), QMessageBox::NoIcon);
        QVERIFY(plain->styleSheet().isEmpty());

        const QSharedPointer<MessageBoxFactory> branded(new MessageBoxOrvalVPN);
        MessageBoxFactory::setInstance(branded);
        QCOMPARE(MessageBoxFactory::getInstance(), branded.data());
        MessageBoxFactory::setInstance({});
    }

    void brandedIcons_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("icon");
        QTest::newRow("0 none") << 0 << int(QMessageBox::NoIcon);
        QTest::newRow("1 information") << 1 << int(QMessageBox::Information);
        QTest::newRow("2 question") << 2 << int(QMessageBox::Question);
        QTest::newRow("3 warning") << 3 << int(QMessageBox::Warning);
        QTest::newRow("4 critical") << 4 << int(QMessageBox::Critical);
        QTest::newRow("5 none") << 5 << int(QMessageBox::NoIcon);
    }

    void brandedIcons()
    {
        QFETCH(int, kind);
        QFETCH(int, icon);
        MessageBoxOrvalVPN factory;
        QCOMPARE(int(box(factory, MessageBoxFactory::iconType(kind), QString())->icon()), icon);
    }

    void brandedLook()
    {
        MessageBoxOrvalVPN factory;
        QWidget parent;
        const QSharedPointer<QMessageBox> early = box(factory, MessageBoxFactory::Information, QString(), &parent);
        QVERIFY2(early->styleSheet().isEmpty(), "no parentless box has loaded the style sheet yet");

        const QSharedPointer<QMessageBox> untitled = box(factory, MessageBoxFactory::Information, QString());
        QCOMPARE(untitled->windowTitle(), QStringLiteral("OrvalVPN"));
        QVERIFY(!untitled->windowIcon().isNull());
        QVERIFY(untitled->styleSheet().contains("QMessageBox"));
        QVERIFY(untitled->informativeText().isEmpty());

        const QSharedPointer<QMessageBox> titled =
            factory.getMessageBox(nullptr, "text", QMessageBox::Yes | QMessageBox::No, MessageBoxFactory::Question,
                                  "more", "Own title", QMessageBox::NoButton, 0, &m_nullCloser);
        QCOMPARE(titled->windowTitle(), QStringLiteral("Own title"));
        QCOMPARE(titled->text(), QStringLiteral("text"));
        QCOMPARE(titled->informativeText(), QStringLiteral("more"));
        QCOMPARE(titled->standardButtons(), QMessageBox::Yes | QMessageBox::No);
        QVERIFY(!qobject_cast<VyxMessageBox *>(titled.data()));

        const QSharedPointer<QMessageBox> withBox = factory.getMessageBoxWithCheckBox(
            nullptr, "text", "Don't ask again", QMessageBox::Ok, MessageBoxFactory::Warning, QString(), QString(),
            QMessageBox::Ok, 0, &m_nullCloser);
        QVERIFY(qobject_cast<VyxMessageBox *>(withBox.data()));
        QCOMPARE(withBox->checkBox()->text(), QStringLiteral("Don't ask again"));
        QVERIFY(!withBox->checkBox()->isChecked());
    }

    // A short question over a long explanation: the explanation reads in a
    // few lines of a sane measure, not in a column as narrow as the question.
    // A short explanation keeps the box small.
    void explanationGetsAReadableWidth_data()
    {
        QTest::addColumn<QString>("informativeText");
        QTest::addColumn<int>("mostLines");
        QTest::newRow("long") << QStringLiteral("Every preference goes back to its default at once, the remembered "
                                                "credentials and the dedicated IP servers included; Cancel will not "
                                                "bring them back.")
                              << 3;
        QTest::newRow("short") << QStringLiteral("Yes or no?") << 1;
    }

    void explanationGetsAReadableWidth()
    {
        QFETCH(QString, informativeText);
        QFETCH(int, mostLines);
        MessageBoxOrvalVPN factory;
        const QSharedPointer<QMessageBox> question = factory.getMessageBox(
            nullptr, "Restore the default settings?", QMessageBox::Yes | QMessageBox::No, MessageBoxFactory::Question,
            informativeText, QString(), QMessageBox::No, 0, &m_nullCloser);
        question->show();
        QVERIFY(QTest::qWaitForWindowExposed(question.data()));
        const QLabel &label = *question->findChild<QLabel *>(QStringLiteral("qt_msgbox_informativelabel"));
        const int lines = label.height() / label.fontMetrics().lineSpacing();
        QVERIFY2(lines <= mostLines, qPrintable(QStringLiteral("%1 lines in %2 px").arg(lines).arg(label.width())));
        const int measure = 60 * label.fontMetrics().averageCharWidth();
        QVERIFY2(question->width() < measure + 200, qPrintable(QString::number(question->width())));
        question->close();
    }

    void closerClosesARunningBox()
    {
        MessageBoxOrvalVPN factory;
        EventMessageCloserImpl closer;
        QTimer::singleShot(0, [&closer] { closer.closeMessageBox(42); });
        const int result =
            factory.execMessageBox(nullptr, "event", QMessageBox::Yes | QMessageBox::No, MessageBoxFactory::Question,
                                   QString(), QString(), QMessageBox::No, 42, &closer);
        QCOMPARE(result, int(QMessageBox::No));
    }

    void closerRegistry()
    {
        MessageBoxOrvalVPN factory;
        EventMessageCloserImpl closer;
        const auto make = [&](quint64 id) {
            return factory.getMessageBox(nullptr, "t", QMessageBox::Ok, MessageBoxFactory::NoIcon, QString(), QString(),
                                         QMessageBox::Ok, id, &closer);
        };
        QSharedPointer<QMessageBox> first = make(7);
        QSharedPointer<QMessageBox> second = make(7);
        first->show();
        second->show();
        closer.closeMessageBox(7);
        QVERIFY2(first->isVisible(), "a box replaced under its id is no longer closable by it");
        QVERIFY(!second->isVisible());
        second->show();
        closer.closeMessageBox(7);
        QVERIFY2(second->isVisible(), "an id is closed once");
        closer.closeMessageBox(99);

        QPointer<QMessageBox> watched = second.data();
        second.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY2(watched.isNull(), "the box goes once its last holder lets go");
    }

    void yesNoFamily_data()
    {
        QTest::addColumn<int>("kind"); // 0 YesNo, 1 YesNoCancel, 2 YesNo+check, 3 YesNoCancel+check
        QTest::addColumn<RecordingMessageBoxFactory::Answer>("answer");
        QTest::addColumn<int>("closeResult");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("calls");
        using F = RecordingMessageBoxFactory;
        QTest::newRow("yes") << 0 << F::press(QMessageBox::Yes) << int(QMessageBox::No) << int(QMessageBox::Yes) << "Y";
        QTest::newRow("no") << 1 << F::press(QMessageBox::No) << int(QMessageBox::No) << int(QMessageBox::No) << "N";
        QTest::newRow("cancel") << 1 << F::press(QMessageBox::Cancel) << int(QMessageBox::No)
                                << int(QMessageBox::Cancel) << "";
        QTest::newRow("frame close runs closeResult No")
            << 0 << F::closeWindow() << int(QMessageBox::No) << int(QMessageBox::No) << "N";
        QTest::newRow("frame close with closeResult Cancel")
            << 1 << F::closeWindow() << int(QMessageBox::Cancel) << int(QMessageBox::Cancel) << "";
        QTest::newRow("ticked yes") << 2 << F::tickThen(F::press(QMessageBox::Yes)) << int(QMessageBox::No)
                                    << int(QMessageBox::Yes) << "YC";
        QTest::newRow("ticked no") << 2 << F::tickThen(F::press(QMessageBox::No)) << int(QMessageBox::No)
                                   << int(QMessageBox::No) << "NC";
        QTest::newRow("unticked yes") << 3 << F::press(QMessageBox::Yes) << int(QMessageBox::No)
                                      << int(QMessageBox::Yes) << "Y";
        QTest::newRow("ticked cancel") << 3 << F::tickThen(F::press(QMessageBox::Cancel)) << int(QMessageBox::No)
                                       << int(QMessageBox::Cancel) << "";
        QTest::newRow("ticked, closed with Cancel, no cancel button")
            << 2 << F::tickThen(F::closeWindow()) << int(QMessageBox::Cancel) << int(QMessageBox::Cancel) << "C";
    }

    void yesNoFamily()
    {
        QFETCH(int, kind);
        QFETCH(RecordingMessageBoxFactory::Answer, answer);
        QFETCH(int, closeResult);
        QFETCH(int, result);
        QFETCH(QString, calls);
        RecordingMessageBoxFactory factory;
        factory.answers = {answer};
        QString called;
        std::function<void()> onYes = [&] { called += "Y"; };
        std::function<void()> onNo = [&] { called += "N"; };
        std::function<void()> onChecked = [&] { called += "C"; };
        const auto close = QMessageBox::StandardButton(closeResult);
        int got = 0;
        switch (kind) {
        case 0:
            got = factory.execMessageBox_YesNo(nullptr, "q", onYes, onNo, close, MessageBoxFactory::Question, QString(),
                                               QString(), 0, &m_nullCloser);
            break;
        case 1:
            got = factory.execMessageBox_YesNoCancel(nullptr, "q", onYes, onNo, close, MessageBoxFactory::Question,
                                                     QString(), QString(), 0, &m_nullCloser);
            break;
        case 2:
            got = factory.execMessageBox_YesNo_withCheckbox(nullptr, "q", "c", onYes, onNo, onChecked, close,
                                                            MessageBoxFactory::Question, QString(), QString(), 0,
                                                            &m_nullCloser);
            break;
        default:
            got = factory.execMessageBox_YesNoCancel_withCheckbox(nullptr, "q", "c", onYes, onNo, onChecked, close,
                                                                  MessageBoxFactory::Question, QString(), QString(), 0,
                                                                  &m_nullCloser);
        }
        QCOMPARE(got, result);
        QCOMPARE(called, calls);
        const QMessageBox::StandardButtons expected =
            (kind % 2) ? QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel : QMessageBox::Yes | QMessageBox::No;
        QCOMPARE(factory.shown.first().buttons, expected);
    }

    // A caller with nothing to do for an answer passes an empty callback.
    void yesNoFamilyWithEmptyCallbacks_data()
    {
        QTest::addColumn<int>("kind"); // as in yesNoFamily
        QTest::addColumn<RecordingMessageBoxFactory::Answer>("answer");
        QTest::addColumn<int>("result");
        using F = RecordingMessageBoxFactory;
        QTest::newRow("YesNo, yes") << 0 << F::press(QMessageBox::Yes) << int(QMessageBox::Yes);
        QTest::newRow("YesNoCancel, no") << 1 << F::press(QMessageBox::No) << int(QMessageBox::No);
        QTest::newRow("YesNo with check box, ticked yes")
            << 2 << F::tickThen(F::press(QMessageBox::Yes)) << int(QMessageBox::Yes);
        QTest::newRow("YesNoCancel with check box, ticked no")
            << 3 << F::tickThen(F::press(QMessageBox::No)) << int(QMessageBox::No);
    }

    void yesNoFamilyWithEmptyCallbacks()
    {
        QFETCH(int, kind);
        QFETCH(RecordingMessageBoxFactory::Answer, answer);
        QFETCH(int, result);
        RecordingMessageBoxFactory factory;
        factory.answers = {answer};
        std::function<void()> none;
        const auto close = QMessageBox::No;
        const auto icon = MessageBoxFactory::Question;
        int got = 0;
        switch (kind) {
        case 0:
            got = factory.execMessageBox_YesNo(nullptr, "q", none, none, close, icon, QString(), QString(), 0,
                                               &m_nullCloser);
            break;
        case 1:
            got = factory.execMessageBox_YesNoCancel(nullptr, "q", none, none, close, icon, QString(), QString(), 0,
                                                     &m_nullCloser);
            break;
        case 2:
            got = factory.execMessageBox_YesNo_withCheckbox(nullptr, "q", "c", none, none, none, close, icon, QString(),
                                                            QString(), 0, &m_nullCloser);
            break;
        default:
            got = factory.execMessageBox_YesNoCancel_withCheckbox(nullptr, "q", "c", none, none, none, close, icon,
                                                                  QString(), QString(), 0, &m_nullCloser);
        }
        QCOMPARE(got, result);
    }

    // Backend errors, fatal engine messages and program output reach boxes
    // unchanged: whatever they look like, they are shown as plain text.
    void textsAreAlwaysPlain_data()
    {
        QTest::addColumn<int>("kind"); // 0 plain box, 1 with check box, 2 error box
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("informativeText");
        QTest::newRow("box, tags") << 0 << "<b>x</b>"
                                   << "<i>y</i>";
        QTest::newRow("check box, link") << 1 << "Server says <a href=\"https://example.test/\">here</a>"
                                         << "<img src=\"file:///tmp/x.png\">";
        QTest::newRow("error box, fatal engine text") << 2 << "Options error: <script>"
                                                      << "<html><b>conf</b></html>";
    }

    void textsAreAlwaysPlain()
    {
        QFETCH(int, kind);
        QFETCH(QString, text);
        QFETCH(QString, informativeText);
        QList<Qt::TextFormat> formats;
        const auto inspect = [&](QMessageBox &box) {
            QCOMPARE(box.text(), text);
            QCOMPARE(box.informativeText(), informativeText);
            for (const char *name : {"qt_msgbox_label", "qt_msgbox_informativelabel"}) {
                QLabel *label = box.findChild<QLabel *>(name);
                QVERIFY2(label, name);
                formats << label->textFormat();
            }
        };
        MessageBoxOrvalVPN branded;
        if (kind == 2) {
            RecordingMessageBoxFactory factory;
            factory.answers = {[&](QDialog &dialog) { inspect(static_cast<QMessageBox &>(dialog)); }};
            factory.execErrorMessageBox(nullptr, text, informativeText, QString(), true, 0, &m_nullCloser);
        } else {
            const QSharedPointer<QMessageBox> box =
                kind == 0 ? branded.getMessageBox(nullptr, text, QMessageBox::Ok, MessageBoxFactory::Critical,
                                                  informativeText, QString(), QMessageBox::Ok, 0, &m_nullCloser)
                          : branded.getMessageBoxWithCheckBox(nullptr, text, "c", QMessageBox::Ok,
                                                              MessageBoxFactory::Critical, informativeText, QString(),
                                                              QMessageBox::Ok, 0, &m_nullCloser);
            inspect(*box);
        }
        QCOMPARE(formats, (QList<Qt::TextFormat> {Qt::PlainText, Qt::PlainText}));
    }

    void errorBoxWithoutLogButton()
    {
        RecordingMessageBoxFactory factory;
        factory.answers = {RecordingMessageBoxFactory::press(QMessageBox::Ok)};
        const int result =
            factory.execErrorMessageBox(nullptr, "failed", "details", QString(), false, 0, &m_nullCloser);
        QCOMPARE(result, int(QMessageBox::Ok));
        QCOMPARE(factory.shown.size(), 1);
        QCOMPARE(factory.shown.first().icon, QMessageBox::Critical);
        QCOMPARE(factory.shown.first().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QVERIFY(factory.shown.first().customButtons.isEmpty());
        QCOMPARE(factory.shown.first().informativeText, QStringLiteral("details"));
    }

    void errorBoxLogButtonOpensTheLogOnce()
    {
        RecordingMessageBoxFactory factory;
        factory.answers = {RecordingMessageBoxFactory::pressText("Show debugging log")};
        const int result = factory.execErrorMessageBox(nullptr, "failed", QString(), QString(), true, 0, &m_nullCloser);
        QCOMPARE(result, 0);
        QCOMPARE(factory.shown.size(), 2);
        QCOMPARE(factory.shown.at(0).customButtons, QStringList {"Show debugging log"});
        QCOMPARE(factory.shown.at(1).className, QStringLiteral("LogDialog"));
        QCOMPARE(factory.shown.at(1).title, QStringLiteral("Debug Log"));
    }

    void errorBoxOkDoesNotOpenTheLog()
    {
        RecordingMessageBoxFactory factory;
        factory.answers = {RecordingMessageBoxFactory::press(QMessageBox::Ok)};
        QCOMPARE(factory.execErrorMessageBox(nullptr, "failed", QString(), QString(), true, 0, &m_nullCloser),
                 int(QMessageBox::Ok));
        QCOMPARE(factory.shown.size(), 1);
    }
};

QTEST_MAIN(TestMessageBox)
#include "tst_messagebox.moc"
