// The server list with the built-in catalogue on a real X server, in the
// branded style, for people to look at (run through tests/harness/xvfb-session,
// label gui-xvfb).
#include "Screenshot.h"

#include "catalogue/HalvorixConfig.h"
#include "catalogue/LocalConfigSource.h"
#include "catalogue/ServerSitePortFilter.h"
#include "catalogue/ServerSiteProtocolFilter.h"
#include "gui/ServerListWidget.h"
#include "gui/StyleOrvalVpn.h"
#include "prefs/Settings.h"

#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QTest>

class TestServerListXvfb : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(vpnbackend);
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        LocalConfigSource().execute();
        QVERIFY(HalvorixConfig::hasValidConfig());
        ServerListWidgetStyle::setInstance(QSharedPointer<StyleOrvalVpn>::create());
    }

    void cleanupTestCase() { ServerListWidgetStyle::setInstance({}); }

    void catalogueList()
    {
        Settings settings;
        // A dedicated address (listed first, second line "comment (address)")
        // and a pinned site show every badge.
        const HalvorixServerSite dedicated = HalvorixServerSite::dedicatedServerSite(
            QStringLiteral("DEU"), QStringLiteral("Office"), QHostAddress(QStringLiteral("192.0.2.1")),
            settings.configDir(), ServerSiteProtocolFilter(), ServerSitePortFilter());
        settings.setServerSitesWithDedicatedIp({dedicated});
        settings.setPinnedIP(QStringLiteral("GBR-London"), QHostAddress(QStringLiteral("203.0.113.21")));
        settings.setHasPinnedIP(QStringLiteral("GBR-London"), true);
        const HalvorixServerSitesList sites = HalvorixConfig::getServerSitesList();
        QVERIFY(sites.size() > 5);

        ServerListWidget widget;
        widget.resize(400, 520);
        widget.setServerSites(sites);
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        widget.setCurrentServerSite(sites.getServerSiteById(QStringLiteral("GBR-London")));

        // The top of the list: the dedicated address first, the pinned and
        // current site next, and the mouse over the third row.
        auto *list = widget.findChild<QListWidget *>(QStringLiteral("serverSites"));
        QCOMPARE(list->count(), sites.size());
        QCOMPARE(list->item(0)->text(), dedicated.getId());
        QCOMPARE(list->item(1)->text(), QStringLiteral("GBR-London"));
        QCOMPARE(list->currentItem(), list->item(1));
        const QPoint third = list->visualItemRect(list->item(2)).center();
        QHoverEvent hover(QEvent::HoverMove, third, third);
        QApplication::sendEvent(list->viewport(), &hover);
        QVERIFY(!Screenshot::saveWidget(widget, QStringLiteral("catalogue")).isEmpty());
        QVERIFY(!Screenshot::saveScreen(QStringLiteral("catalogue-screen")).isEmpty());

        // A current site further down is scrolled into view.
        widget.setCurrentServerSite(sites.getServerSiteById(QStringLiteral("USA-Dallas")));
        QCOMPARE(list->currentItem()->text(), QStringLiteral("USA-Dallas"));
        QVERIFY(list->viewport()->rect().contains(list->visualItemRect(list->currentItem())));
        QVERIFY(!Screenshot::saveWidget(widget, QStringLiteral("current-dallas")).isEmpty());

        auto *filter = widget.findChild<QComboBox *>(QStringLiteral("filterComboBox"));
        filter->setCurrentIndex(filter->findText(QStringLiteral("Europe")));
        emit filter->activated(filter->currentIndex());
        QVERIFY(list->count() > 0 && list->count() < sites.size());
        QVERIFY(!Screenshot::saveWidget(widget, QStringLiteral("europe")).isEmpty());
    }
};

QTEST_MAIN(TestServerListXvfb)
#include "tst_serverlistxvfb.moc"
