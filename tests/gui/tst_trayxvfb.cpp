// A real desktop on Xvfb: the system tray (trayer) docks the connected look
// and shows a balloon, and the window manager (twm) frames windows. Run
// through tests/harness/xvfb-session (label gui-xvfb).
#include "Screenshot.h"

#include <QApplication>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTest>
#include <QWindow>

namespace {
QWidget *visibleBalloon()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->inherits("QBalloonTip") && widget->isVisible())
            return widget;
    }
    return nullptr;
}

// How many pixels of the picture are near the colour.
int pixelsNear(const QImage &image, const QColor &colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (qAbs(pixel.red() - colour.red()) + qAbs(pixel.green() - colour.green())
                    + qAbs(pixel.blue() - colour.blue())
                < 60)
                ++count;
        }
    }
    return count;
}
} // namespace

class TestTrayXvfb : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(vpnbackend);
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        // trayer takes a moment to claim the tray after it starts.
        QTRY_VERIFY_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), 15000);
    }

    void connectedLookDocksAndShowsABalloon()
    {
        const QIcon connected(QStringLiteral(":/images/trayicon.png"));
        QVERIFY(!connected.isNull());
        QSystemTrayIcon tray(connected);
        tray.setToolTip(QStringLiteral("OrvalVPN"));
        tray.show();
        // Docked once it sits in trayer's panel at the bottom of the screen,
        // showing the connected look: the blue disc and the green badge. The
        // icon can move after it first shows up in the panel (a panel that
        // widens for it moves it), and twm's frame can put the panel a pixel
        // past the screen's edge: so each look reads where the icon is now
        // and grabs the part of it on the screen.
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QRect dock;
        QImage docked;
        const auto dockedLookShows = [&] {
            dock = tray.geometry();
            if ((dock & screen).isEmpty() || dock.bottom() <= screen.height() / 2)
                return false;
            docked = Screenshot::grabScreen(dock & screen);
            return pixelsNear(docked, QColor(0x21, 0x5c, 0xac)) > 20
                   && pixelsNear(docked, QColor(0x2f, 0xb4, 0x61)) > 2;
        };
        QTRY_VERIFY_WITH_TIMEOUT(dockedLookShows(), 20000);
        Screenshot::save(docked.scaled(docked.size() * 4), QStringLiteral("docked-icon-x4"));

        tray.showMessage(QStringLiteral("OrvalVPN"), QStringLiteral("Connected!"), QSystemTrayIcon::Information, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(visibleBalloon(), 10000);
        QWidget *balloon = visibleBalloon();
        QVERIFY(QTest::qWaitForWindowExposed(balloon));
        // The balloon points at the icon: it sits just above the dock at the bottom.
        QVERIFY2(qAbs(balloon->geometry().bottom() - dock.top()) < 40,
                 qPrintable(QStringLiteral("balloon %1,%2 %3x%4, dock at y %5")
                                .arg(balloon->x())
                                .arg(balloon->y())
                                .arg(balloon->width())
                                .arg(balloon->height())
                                .arg(dock.top())));
        QVERIFY(!Screenshot::saveScreen(QStringLiteral("tray-balloon")).isEmpty());
        const QRect corner = balloon->geometry().united(dock).adjusted(-20, -20, 20, 20) & screen;
        const QImage closeUp = Screenshot::grabScreen(corner);
        Screenshot::save(closeUp.scaled(closeUp.size() * 2), QStringLiteral("tray-balloon-x2"));
    }

    void windowManagerFramesWindows()
    {
        QWidget window;
        window.setWindowTitle(QStringLiteral("OrvalVPN"));
        window.resize(320, 200);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY_WITH_TIMEOUT(window.windowHandle()->frameMargins().top() > 0, 10000);
        QVERIFY(!Screenshot::saveScreen(QStringLiteral("framed-window")).isEmpty());
    }
};

QTEST_MAIN(TestTrayXvfb)
#include "tst_trayxvfb.moc"
