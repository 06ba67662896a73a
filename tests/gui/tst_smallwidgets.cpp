#include "gui/ClickableLabel.h"
#include "gui/MouseEventBlockingWidget.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>
#include <QtTest/qtestspontaneevent.h>

namespace {

// Accepts and writes down the mouse events that reach it.
class RecordingParent : public QWidget
{
public:
    QList<QEvent::Type> reached;

protected:
    void mousePressEvent(QMouseEvent *event) override { note(event); }
    void mouseReleaseEvent(QMouseEvent *event) override { note(event); }
    void mouseDoubleClickEvent(QMouseEvent *event) override { note(event); }
    void mouseMoveEvent(QMouseEvent *event) override { note(event); }
    void wheelEvent(QWheelEvent *event) override { note(event); }

private:
    void note(QEvent *event)
    {
        reached << event->type();
        event->accept();
    }
};

enum Input { Press, Release, DoubleClick, Move, Wheel };

// Delivers the event as the window system would, as QTest does for presses:
// Qt hands a wheel event sent with sendEvent() to its receiver only, and a
// move through the cursor depends on the buttons earlier rows left pressed.
void deliverSpontaneously(QWidget *widget, QEvent *event)
{
    QSpontaneKeyEvent::setSpontaneous(event);
    qApp->notify(widget, event);
}

void send(Input input, QWidget *widget)
{
    const QPoint centre = widget->rect().center();
    const QPoint global = widget->mapToGlobal(centre);
    switch (input) {
    case Press: QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, centre); break;
    case Release: QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, centre); break;
    case DoubleClick: QTest::mouseDClick(widget, Qt::LeftButton, Qt::NoModifier, centre); break;
    case Move: {
        QMouseEvent move(QEvent::MouseMove, centre, global, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        deliverSpontaneously(widget, &move);
        break;
    }
    case Wheel: {
        QWheelEvent wheel(centre, global, QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                          false);
        deliverSpontaneously(widget, &wheel);
        break;
    }
    }
}

} // namespace

Q_DECLARE_METATYPE(Input)

class TestSmallWidgets : public QObject
{
    Q_OBJECT

private slots:
    void clickableLabelIsPlainText()
    {
        ClickableLabel label;
        QCOMPARE(label.textFormat(), Qt::PlainText);
    }

    void clickableLabelClicksOncePerPress_data()
    {
        QTest::addColumn<QList<Input>>("inputs");
        QTest::addColumn<int>("clicks");
        QTest::newRow("press") << QList<Input> {Press} << 1;
        QTest::newRow("release") << QList<Input> {Release} << 0;
        QTest::newRow("press, release") << QList<Input> {Press, Release} << 1;
        QTest::newRow("double-click") << QList<Input> {Press, Release, DoubleClick, Release} << 1;
        QTest::newRow("two clicks") << QList<Input> {Press, Release, Press, Release} << 2;
    }

    void clickableLabelClicksOncePerPress()
    {
        QFETCH(QList<Input>, inputs);
        QFETCH(int, clicks);
        RecordingParent parent;
        ClickableLabel *label = new ClickableLabel(&parent);
        label->setText("flag");
        label->resize(40, 20);
        QSignalSpy clicked(label, &ClickableLabel::clicked);
        for (Input input : inputs)
            send(input, label);
        QCOMPARE(clicked.count(), clicks);
        QVERIFY2(!parent.reached.contains(QEvent::MouseButtonPress), "the label takes its presses");
    }

    void blockingWidgetKeepsMouseInputFromItsParent_data()
    {
        QTest::addColumn<bool>("blocking");
        QTest::addColumn<Input>("input");
        QTest::addColumn<QEvent::Type>("type");
        const struct
        {
            const char *name;
            Input input;
            QEvent::Type type;
        } inputs[] = {{"press", Press, QEvent::MouseButtonPress},
                      {"release", Release, QEvent::MouseButtonRelease},
                      {"double-click", DoubleClick, QEvent::MouseButtonDblClick},
                      {"move", Move, QEvent::MouseMove},
                      {"wheel", Wheel, QEvent::Wheel}};
        for (bool blocking : {true, false}) {
            for (const auto &i : inputs)
                QTest::addRow("%s, %s", blocking ? "blocking" : "open", i.name) << blocking << i.input << i.type;
        }
    }

    void blockingWidgetKeepsMouseInputFromItsParent()
    {
        QFETCH(bool, blocking);
        QFETCH(Input, input);
        QFETCH(QEvent::Type, type);
        RecordingParent parent;
        parent.resize(200, 200);
        parent.setMouseTracking(true);
        MouseEventBlockingWidget *panel = new MouseEventBlockingWidget(&parent);
        panel->setGeometry(50, 50, 100, 100);
        panel->setMouseTracking(true);
        panel->blocking = blocking;
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));

        send(input, panel);
        QCOMPARE(parent.reached, blocking ? QList<QEvent::Type>() : QList<QEvent::Type> {type});
    }
};

QTEST_MAIN(TestSmallWidgets)
#include "tst_smallwidgets.moc"
