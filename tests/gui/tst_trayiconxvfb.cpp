// The tray frontend in a real system tray (Xvfb with trayer, label
// gui-xvfb): it docks, a right-click on it opens its menu, and its balloons
// carry the translated texts. Screenshots of each look and of the open menu
// go to build/screenshots/ for people to look at.
#include "Screenshot.h"
#include "TrayIconFixture.h"

#include "catalogue/LocalConfigSource.h"
#include "gui/ApplicationTranslation.h"
#include "gui/TrayIcon.h"
#include "prefs/Settings.h"
#include "prefs/UserStatistics.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTranslator>

namespace {

QStringList labelTexts(const QWidget &widget)
{
    QStringList texts;
    for (const QLabel *label : widget.findChildren<QLabel *>()) {
        if (!label->text().isEmpty())
            texts.append(label->text());
    }
    return texts;
}

} // namespace

class TestTrayIconXvfb : public QObject
{
    Q_OBJECT

    QTranslator m_translator;
    RecordingVpnBackend m_backend;
    RecordingOsAbstraction m_os;
    FakeBackendStateTracker m_tracker;
    UserStatistics m_statistics;
    QScopedPointer<TrayIcon> m_tray;

    QSystemTrayIcon &icon() const { return *m_tray->findChild<QSystemTrayIcon *>(); }

    // The docked icon, four times enlarged, as the tray shows it.
    void saveDockedLook(const QString &name)
    {
        QTest::qWait(300);
        const QImage docked = Screenshot::grabScreen(icon().geometry());
        QVERIFY(!Screenshot::save(docked.scaled(docked.size() * 4), name).isEmpty());
    }

private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(vpnbackend);
        QCoreApplication::setOrganizationName(QStringLiteral("OrvalVPN-test"));
        QCoreApplication::setApplicationName(QStringLiteral("tst_trayiconxvfb"));
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        QVERIFY(ApplicationTranslation::install(m_translator));
        LocalConfigSource().execute();
        Settings settings;
        settings.setTrayIconEnabled(true);
        settings.setDisplayNotifications(true);
        // trayer takes a moment to claim the tray after it starts.
        QTRY_VERIFY_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), 15000);
        m_tray.reset(new TrayIcon(m_backend, m_os, m_tracker, m_statistics));
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QTRY_VERIFY_WITH_TIMEOUT(!icon().geometry().isEmpty() && icon().geometry().bottom() > screen.height() / 2,
                                 10000);
    }

    void cleanupTestCase() { m_tray.reset(); }

    void looksDock()
    {
        saveDockedLook(QStringLiteral("disconnected-x4"));
        m_tray->onConnecting();
        saveDockedLook(QStringLiteral("connecting-x4"));
        m_tray->onConnected();
        saveDockedLook(QStringLiteral("connected-x4"));
        QVERIFY(!Screenshot::saveScreen(QStringLiteral("connected-screen")).isEmpty());
    }

    // A right-click on the docked icon opens the menu, entries in order.
    void rightClickOpensTheMenu()
    {
        QWidget *docked = visibleTopLevel("QSystemTrayIconSys");
        QVERIFY(docked);
        QTest::mouseClick(docked, Qt::RightButton, Qt::NoModifier, docked->rect().center());
        QTRY_VERIFY_WITH_TIMEOUT(qobject_cast<QMenu *>(QApplication::activePopupWidget()), 10000);
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        QCOMPARE(menuTexts(*menu), QStringList({"Show/Hide", "Server", "Connect", "Disconnect", "Quit"}));
        QTest::qWait(300);
        QVERIFY(!Screenshot::saveScreen(QStringLiteral("open-menu")).isEmpty());
        const QRect corner = menu->geometry().united(icon().geometry()).adjusted(-20, -20, 20, 20)
                             & QGuiApplication::primaryScreen()->geometry();
        Screenshot::save(Screenshot::grabScreen(corner), QStringLiteral("open-menu-close-up"));
        menu->close();
        QTRY_VERIFY(!QApplication::activePopupWidget());
    }

    // The end of the connection shows its balloon with the product's name.
    void disconnectedBalloon()
    {
        m_tray->onDisconnected();
        QTRY_VERIFY_WITH_TIMEOUT(visibleTopLevel("QBalloonTip"), 10000);
        QWidget *balloon = visibleTopLevel("QBalloonTip");
        QVERIFY(QTest::qWaitForWindowExposed(balloon));
        const QStringList texts = labelTexts(*balloon);
        QVERIFY2(texts.contains("Disconnected!") && texts.contains("Disconnected from OrvalVPN service!"),
                 qPrintable(texts.join(" | ")));
        QCOMPARE(icon().toolTip(), QString("OrvalVPN - Disconnected"));
        QTest::qWait(300);
        saveDockedLook(QStringLiteral("disconnected-again-x4"));
        QVERIFY(!Screenshot::saveScreen(QStringLiteral("disconnected-balloon")).isEmpty());
    }
};

QTEST_MAIN(TestTrayIconXvfb)
#include "tst_trayiconxvfb.moc"
