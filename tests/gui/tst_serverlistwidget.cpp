// The server list offscreen: orders, region filter, selection of the current
// site, the signals, and the row painter checked pixel by pixel.
#include "CatalogueFixtures.h"
#include "Screenshot.h"

#include "catalogue/CountryCode.h"
#include "catalogue/HalvorixServerSitesList.h"
#include "catalogue/ServerSitesOrder.h"
#include "gui/ServerListWidget.h"
#include "gui/ServerListWidgetStyle.h"
#include "gui/ServerSiteItemDelegate.h"
#include "gui/StyleBasic.h"
#include "gui/StyleOrvalVpn.h"
#include "prefs/Settings.h"
#include "prefs/UserStatistics.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTest>

using namespace fixtures;

namespace {

QStringList captured;
QtMessageHandler previousHandler = nullptr;

void capture(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    captured.append(message);
    previousHandler(type, context, message);
}

const QString DALLAS = QStringLiteral("USA-Dallas");
const QString LONDON = QStringLiteral("GBR-London");
const QString TOKYO = QStringLiteral("JPN-Tokyo");
const QString SYDNEY = QStringLiteral("AUS-Sydney");
const QString SAO_PAULO = QStringLiteral("BRA-Sao Paulo");
const QString DEDICATED = QStringLiteral("DEU-192.0.2.1");

HalvorixServerSite placed(const QString &country, const QString &city, double latitude, double longitude,
                          bool stealth = false)
{
    return site(country, city, {}, stealth, GeoLocation(latitude, longitude, country));
}

HalvorixServerSite dedicatedSite(const QString &country, const QString &comment, const QString &address)
{
    return HalvorixServerSite(country, comment, QStringLiteral("dedicated-udp.conf"),
                              QStringLiteral("dedicated-tcp.conf"), false, false, QDir(QStringLiteral("/tmp")), {},
                              QHostAddress(address), GeoLocation(52.52, 13.38, country), QString(), 0);
}

// The site with its pin as the preferences hold it.
HalvorixServerSite pinned(HalvorixServerSite site, const QString &address, bool on)
{
    Settings settings;
    settings.setPinnedIP(site.getId(), QHostAddress(address));
    settings.setHasPinnedIP(site.getId(), on);
    site.refresh(settings);
    return site;
}

// In no particular order; London is pinned, Sydney stealth.
HalvorixServerSitesList fixtureSites()
{
    return HalvorixServerSitesList({placed("USA", "Dallas", 32.78, -96.80), placed("JPN", "Tokyo", 35.68, 139.69),
                                    pinned(placed("GBR", "London", 51.51, -0.13), "203.0.113.21", true),
                                    placed("AUS", "Sydney", -33.87, 151.21, true),
                                    dedicatedSite("DEU", "My server", "192.0.2.1"),
                                    placed("BRA", "Sao Paulo", -23.55, -46.63)});
}

const GeoLocation PARIS(48.86, 2.35, QStringLiteral("FRA"));

template<typename T>
T *child(QWidget &widget, const char *name)
{
    T *found = widget.findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("no child %s", name);
    return found;
}

QListWidget *rows(ServerListWidget &widget)
{
    return child<QListWidget>(widget, "serverSites");
}

QStringList rowIds(ServerListWidget &widget)
{
    QStringList ids;
    for (int row = 0; row < rows(widget)->count(); ++row)
        ids.append(rows(widget)->item(row)->data(Qt::UserRole).value<HalvorixServerSite>().getId());
    return ids;
}

// The identifier of the selected row; empty when no row is selected.
QString selectedId(ServerListWidget &widget)
{
    const QList<QListWidgetItem *> selected = rows(widget)->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text();
}

// What a user's pick in a combo box does: the entry becomes current and
// "activated" is emitted.
void choose(QComboBox *box, const QString &text)
{
    const int index = box->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    box->setCurrentIndex(index);
    emit box->activated(index);
}

QString storedOrder()
{
    return Settings().getServerSitesOrder()->getDisplayName();
}

const ServerSitesOrder *orderNamed(const QString &name)
{
    for (const ServerSitesOrder *order : ServerSitesOrder::ALLORDERSLIST()) {
        if (order->getDisplayName() == name)
            return order;
    }
    return nullptr;
}

bool entryEnabled(QComboBox *box, int index)
{
    return qobject_cast<QStandardItemModel *>(box->model())->item(index)->isEnabled();
}

// Distinct opaque colours, so each state and line can be told apart.
class ProbeStyle : public ServerListWidgetStyle
{
public:
    QPen separatorPen() const override { return rowPen(Qt::yellow); }
    QPen textPen() const override { return rowPen(Qt::black); }
    QBrush selectedBrush() const override { return QBrush(Qt::red); }
    QBrush hoverBrush() const override { return QBrush(Qt::green); }
    QBrush normalBrush() const override { return QBrush(Qt::blue); }
    QFont font() const override { return QFont(); }
};

// A row painted at an offset inside a larger picture, so that a painter that
// ignores the row's position is caught.
const QRect ROW(10, 40, 300, 40);

QImage paintRow(const HalvorixServerSite &site, QStyle::State state)
{
    QStandardItemModel model;
    auto *item = new QStandardItem(site.getId());
    item->setData(QVariant::fromValue(site), Qt::UserRole);
    model.appendRow(item);
    QImage image(ROW.right() + 11, ROW.bottom() + 41, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    QStyleOptionViewItem option;
    option.rect = ROW;
    option.state = state;
    ServerSiteItemDelegate().paint(&painter, option, model.index(0, 0));
    return image;
}

// Right-hand badge square and the one to its left, side 20 (half the row).
const QRect PIN_SQUARE(ROW.left() + ROW.width() - 25, ROW.top() + 10, 20, 20);
const QRect STEALTH_SQUARE(ROW.left() + ROW.width() - 45, ROW.top() + 10, 20, 20);

// The badge images drawn in this order over the background, scaled into a square.
QImage badgeSquare(const QColor &background, const QStringList &images)
{
    QImage square(20, 20, QImage::Format_ARGB32_Premultiplied);
    square.fill(background);
    QPainter painter(&square);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (const QString &image : images)
        painter.drawImage(square.rect(), QImage(image));
    return square;
}

bool sameColours(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return false;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QColor p = a.pixelColor(x, y);
            const QColor q = b.pixelColor(x, y);
            if (qAbs(p.red() - q.red()) > 2 || qAbs(p.green() - q.green()) > 2 || qAbs(p.blue() - q.blue()) > 2)
                return false;
        }
    }
    return true;
}

const QString PIN = QStringLiteral(":/images/halvorix-pushpin.png");
const QString GREY_PIN = QStringLiteral(":/images/halvorix-pushpin-grey.png");
const QString DEDICATED_BADGE = QStringLiteral(":/images/dedicated-ip.png");
const QString STEALTH_BADGE = QStringLiteral(":/images/ic_stealth.png");

} // namespace

Q_DECLARE_METATYPE(QStyle::State)

class TestServerListWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(vpnbackend);
        previousHandler = qInstallMessageHandler(capture);
    }

    void init()
    {
        Settings settings;
        settings.setMyLocation(PARIS);
        settings.setServerSitesOrder(ServerSitesOrder::CUSTOMFIRSTORDER());
        UserStatistics &statistics = UserStatistics::getUserStatistics();
        statistics.clearInternalStatistics();
        for (const QString &id : {TOKYO, TOKYO, TOKYO, SYDNEY})
            statistics.addOneUsageToServer(id);
        ServerListWidgetStyle::setInstance(QSharedPointer<StyleOrvalVpn>::create());
    }

    void formAsBuilt()
    {
        ServerListWidget widget;
        QCOMPARE(widget.size(), QSize(400, 300));
        QCOMPARE(widget.windowTitle(), QStringLiteral("Form"));
        QCOMPARE(child<QLabel>(widget, "sortLabel")->text(), QStringLiteral("Sort:"));
        QCOMPARE(child<QLabel>(widget, "filterLabel")->text(), QStringLiteral("Filter:"));
        QCOMPARE(child<QPushButton>(widget, "dismiss")->text(), QStringLiteral("Dismiss"));
        QVERIFY(child<QComboBox>(widget, "sortComboBox"));
        QListWidget *list = rows(widget);
        QVERIFY(qobject_cast<ServerSiteItemDelegate *>(list->itemDelegate()));
        QVERIFY(list->hasMouseTracking());
        QCOMPARE(list->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(list->verticalScrollMode(), QAbstractItemView::ScrollPerPixel);
        QCOMPARE(list->itemDelegate()->sizeHint(QStyleOptionViewItem(), QModelIndex()), QSize(200, 40));

        QComboBox *filter = child<QComboBox>(widget, "filterComboBox");
        QStringList regions;
        for (int i = 0; i < filter->count(); ++i) {
            regions.append(filter->itemText(i));
            QCOMPARE(filter->itemData(i).value<Region>().getDisplayName(), filter->itemText(i));
        }
        QCOMPARE(regions,
                 (QStringList {"All", "Asia", "Europe", "North America", "South America", "Oceania", "Africa"}));
        QCOMPARE(filter->currentIndex(), 0);

        QFile sheet(QStringLiteral(":/resources/serverlistwidget.qss"));
        QVERIFY(sheet.open(QIODevice::ReadOnly));
        QCOMPARE(widget.styleSheet(), QString::fromLatin1(sheet.readAll()));
    }

    void orders_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("located");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QStringList>("ids");

        const QStringList customFirst {DEDICATED, LONDON, SYDNEY, SAO_PAULO, TOKYO, DALLAS};
        QTest::newRow("custom first") << "Custom First" << true << "Custom First" << customFirst;
        QTest::newRow("alphabetical") << "Alphabetical" << true << "Alphabetical"
                                      << QStringList {SYDNEY, SAO_PAULO, DEDICATED, TOKYO, LONDON, DALLAS};
        QTest::newRow("reverse") << "Reverse Alph." << true << "Reverse Alph."
                                 << QStringList {DALLAS, LONDON, TOKYO, DEDICATED, SAO_PAULO, SYDNEY};
        QTest::newRow("usage") << "Usage" << true << "Usage"
                               << QStringList {TOKYO, SYDNEY, SAO_PAULO, DEDICATED, LONDON, DALLAS};
        QTest::newRow("proximity") << "Proximity" << true << "Proximity"
                                   << QStringList {LONDON, DEDICATED, DALLAS, SAO_PAULO, TOKYO, SYDNEY};
        QTest::newRow("alphabetical, no location") << "Alphabetical" << false << "Alphabetical"
                                                   << QStringList {SYDNEY, SAO_PAULO, DEDICATED, TOKYO, LONDON, DALLAS};
        // The stored order is unavailable: the first available one takes its place.
        QTest::newRow("proximity, no location") << "Proximity" << false << "Custom First" << customFirst;
    }

    void orders()
    {
        QFETCH(QString, stored);
        QFETCH(bool, located);
        QFETCH(QString, current);
        Settings settings;
        settings.setMyLocation(located ? PARIS : GeoLocation());
        settings.setServerSitesOrder(orderNamed(stored));

        ServerListWidget widget;
        widget.setServerSites(fixtureSites());
        QComboBox *sort = child<QComboBox>(widget, "sortComboBox");
        QStringList entries;
        for (int i = 0; i < sort->count(); ++i) {
            entries.append(sort->itemText(i));
            QCOMPARE(sort->itemData(i).value<const ServerSitesOrder *>(), orderNamed(sort->itemText(i)));
            QCOMPARE(entryEnabled(sort, i), i != 4 || located);
        }
        QCOMPARE(entries, (QStringList {"Custom First", "Alphabetical", "Reverse Alph.", "Usage", "Proximity"}));
        QCOMPARE(sort->currentText(), current);
        QTEST(rowIds(widget), "ids");
        // Each rebuild writes the order it used.
        QCOMPARE(storedOrder(), current);
    }

    void choosingAnOrderResortsStoresItAndKeepsTheSelection()
    {
        ServerListWidget widget;
        widget.setServerSites(fixtureSites());
        widget.setCurrentServerSite(fixtureSites()[1]);
        QCOMPARE(selectedId(widget), TOKYO);

        choose(child<QComboBox>(widget, "sortComboBox"), QStringLiteral("Reverse Alph."));
        QCOMPARE(rowIds(widget), (QStringList {DALLAS, LONDON, TOKYO, DEDICATED, SAO_PAULO, SYDNEY}));
        QCOMPARE(selectedId(widget), TOKYO);
        QCOMPARE(storedOrder(), QStringLiteral("Reverse Alph."));
    }

    void regions_data()
    {
        QTest::addColumn<QString>("region");
        QTest::addColumn<QStringList>("ids");
        QTest::addColumn<QString>("selected");
        QTest::newRow("all") << "All" << QStringList {DEDICATED, LONDON, SYDNEY, SAO_PAULO, TOKYO, DALLAS} << LONDON;
        QTest::newRow("europe") << "Europe" << QStringList {DEDICATED, LONDON} << LONDON;
        QTest::newRow("asia, current not listed") << "Asia" << QStringList {TOKYO} << QString();
        QTest::newRow("north america") << "North America" << QStringList {DALLAS} << QString();
        QTest::newRow("south america") << "South America" << QStringList {SAO_PAULO} << QString();
        QTest::newRow("oceania") << "Oceania" << QStringList {SYDNEY} << QString();
        QTest::newRow("africa, empty") << "Africa" << QStringList() << QString();
    }

    void regions()
    {
        QFETCH(QString, region);
        ServerListWidget widget;
        widget.setServerSites(fixtureSites());
        widget.setCurrentServerSite(fixtureSites()[2]);
        choose(child<QComboBox>(widget, "filterComboBox"), region);
        QTEST(rowIds(widget), "ids");
        QTEST(selectedId(widget), "selected");
    }

    void currentSite_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<int>("site"); // index into fixtureSites()
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("remembered");
        QTest::newRow("listed") << "All" << 3 << SYDNEY << SYDNEY;
        QTest::newRow("not listed: first row, previous one kept") << "All" << -1 << DEDICATED << DALLAS;
        // The list was left filtered on Asia; the main window gives it a fresh
        // list and a European site.
        QTest::newRow("left filtered elsewhere") << "Asia" << 2 << LONDON << LONDON;
    }

    void currentSite()
    {
        QFETCH(QString, filter);
        QFETCH(int, site);
        ServerListWidget widget;
        widget.setServerSites(fixtureSites());
        widget.setCurrentServerSite(fixtureSites()[0]);
        choose(child<QComboBox>(widget, "filterComboBox"), filter);

        widget.setServerSites(fixtureSites());
        widget.setCurrentServerSite(site < 0 ? placed("FRA", "Paris", 48.86, 2.35) : fixtureSites()[site]);
        QCOMPARE(child<QComboBox>(widget, "filterComboBox")->currentText(), QStringLiteral("All"));
        QCOMPARE(rowIds(widget).size(), 6);
        QTEST(selectedId(widget), "selected");
        QCOMPARE(rows(widget)->currentItem()->text(), selectedId(widget));

        // A rebuild selects the remembered site again.
        choose(child<QComboBox>(widget, "sortComboBox"), QStringLiteral("Alphabetical"));
        QTEST(selectedId(widget), "remembered");
    }

    void emptyListSelectsNothing()
    {
        ServerListWidget widget;
        widget.setServerSites(HalvorixServerSitesList());
        widget.setCurrentServerSite(fixtureSites()[0]);
        QCOMPARE(rows(widget)->count(), 0);
        QCOMPARE(selectedId(widget), QString());
    }

    void filterBeforeAnyListNeitherSortsNorStores()
    {
        Settings().setServerSitesOrder(ServerSitesOrder::ALPHABETICALORDER());
        ServerListWidget widget;
        choose(child<QComboBox>(widget, "filterComboBox"), QStringLiteral("Europe"));
        QCOMPARE(rows(widget)->count(), 0);
        QCOMPARE(storedOrder(), QStringLiteral("Alphabetical"));
    }

    void clickReportsTheSiteAndDismissIsSignalled()
    {
        ServerListWidget widget;
        widget.setServerSites(fixtureSites());
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        QSignalSpy selected(&widget, &ServerListWidget::serverSiteSelected);
        QSignalSpy dismissed(&widget, &ServerListWidget::dismissed);

        QListWidget *list = rows(widget);
        const QRect third = list->visualItemRect(list->item(2));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, third.center());
        QCOMPARE(selected.count(), 1);
        const HalvorixServerSite site = selected.first().first().value<HalvorixServerSite>();
        QCOMPARE(site.getId(), SYDNEY);
        QVERIFY(site.isStealth());
        QCOMPARE(dismissed.count(), 0);

        QTest::mouseClick(child<QPushButton>(widget, "dismiss"), Qt::LeftButton);
        QCOMPARE(dismissed.count(), 1);
        QCOMPARE(selected.count(), 1);
    }

    void fallbackStyleWhenNoneIsSet()
    {
        ServerListWidgetStyle::setInstance({});
        captured.clear();
        ServerListWidgetStyle *style = ServerListWidgetStyle::getInstance();
        QVERIFY(dynamic_cast<StyleBasic *>(style));
        QVERIFY(captured.contains(QStringLiteral("Warning, ServerListWidgetStyle not set: use StyleBasic")));
        QCOMPARE(ServerListWidgetStyle::getInstance(), style);
        QCOMPARE(captured.count(QStringLiteral("Warning, ServerListWidgetStyle not set: use StyleBasic")), 1);

        // The row painter falls back the same way.
        ServerListWidgetStyle::setInstance({});
        captured.clear();
        paintRow(fixtureSites()[0], QStyle::State_None);
        QVERIFY(captured.contains(QStringLiteral("Warning, ServerListWidgetStyle not set: use StyleBasic")));
    }

    void rowBackground_data()
    {
        QTest::addColumn<QStyle::State>("state");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("normal") << QStyle::State(QStyle::State_Enabled) << QColor(Qt::blue);
        QTest::newRow("hover") << QStyle::State(QStyle::State_Enabled | QStyle::State_MouseOver) << QColor(Qt::green);
        QTest::newRow("selected") << QStyle::State(QStyle::State_Enabled | QStyle::State_Selected) << QColor(Qt::red);
        QTest::newRow("selected under the mouse")
            << QStyle::State(QStyle::State_Selected | QStyle::State_MouseOver) << QColor(Qt::red);
    }

    void rowBackground()
    {
        QFETCH(QStyle::State, state);
        QFETCH(QColor, colour);
        ServerListWidgetStyle::setInstance(QSharedPointer<ProbeStyle>::create());
        const QImage image = paintRow(fixtureSites()[0], state);
        // Filled from corner to corner, the separator on the bottom line,
        // nothing outside the row.
        QCOMPARE(image.pixelColor(ROW.topLeft()), colour);
        QCOMPARE(image.pixelColor(ROW.right(), ROW.top()), colour);
        QCOMPARE(image.pixelColor(ROW.left() + 37, ROW.top() + 3), colour);
        QCOMPARE(image.pixelColor(ROW.left() + 37, ROW.bottom()), QColor(Qt::yellow));
        QCOMPARE(image.pixelColor(ROW.right(), ROW.bottom()), QColor(Qt::yellow));
        QCOMPARE(image.pixelColor(ROW.left(), ROW.top() - 1), QColor(Qt::white));
        QCOMPARE(image.pixelColor(ROW.left() - 1, ROW.top() + 3), QColor(Qt::white));
        QCOMPARE(image.pixelColor(ROW.left(), ROW.bottom() + 1), QColor(Qt::white));
        // The flag sits left, the country's name in the text pen from x + 40.
        QVERIFY(image.pixelColor(ROW.left() + 15, ROW.center().y()) != colour);
        bool text = false;
        for (int x = ROW.left() + 40; x < ROW.left() + 80 && !text; ++x) {
            for (int y = ROW.top(); y < ROW.top() + 20 && !text; ++y)
                text = image.pixelColor(x, y) == QColor(Qt::black);
        }
        QVERIFY(text);
    }

    void badges_data()
    {
        QTest::addColumn<QString>("pin"); // "", "on" or "off"
        QTest::addColumn<bool>("dedicated");
        QTest::addColumn<bool>("stealthFlag");
        QTest::addColumn<bool>("stealthOffered");
        QTest::addColumn<QStringList>("pinSquare");
        QTest::addColumn<QStringList>("stealthSquare");
        QTest::newRow("none") << "" << false << false << false << QStringList() << QStringList();
        QTest::newRow("pinned") << "on" << false << false << false << QStringList {PIN} << QStringList();
        QTest::newRow("pin switched off")
            << "off" << false << false << false << QStringList {GREY_PIN} << QStringList();
        QTest::newRow("dedicated") << "" << true << false << false << QStringList {DEDICATED_BADGE} << QStringList();
        QTest::newRow("dedicated over the pin")
            << "on" << true << false << false << QStringList {PIN, DEDICATED_BADGE} << QStringList();
        QTest::newRow("stealth flag") << "" << false << true << false << QStringList() << QStringList {STEALTH_BADGE};
        QTest::newRow("stealth offer, pinned")
            << "on" << false << false << true << QStringList {PIN} << QStringList {STEALTH_BADGE};
    }

    void badges()
    {
        QFETCH(QString, pin);
        QFETCH(bool, dedicated);
        QFETCH(bool, stealthFlag);
        QFETCH(bool, stealthOffered);
        QFETCH(QStringList, pinSquare);
        QFETCH(QStringList, stealthSquare);
        ServerListWidgetStyle::setInstance(QSharedPointer<ProbeStyle>::create());

        const QList<OpenVpnConfigCipher> offers {offer("UDP", 1194), stealthOffer("UDP", 443)};
        HalvorixServerSite row = dedicated
                                     ? HalvorixServerSite("DEU", "Box", "u", "t", stealthFlag, false, QDir(),
                                                          stealthOffered ? offers : offers.mid(0, 1),
                                                          QHostAddress("192.0.2.7"), GeoLocation(), QString(), 0)
                                     : site("DEU", "Berlin", stealthOffered ? offers : offers.mid(0, 1), stealthFlag);
        if (!pin.isEmpty())
            row = pinned(row, "198.51.100.9", pin == "on");

        const QImage image = paintRow(row, QStyle::State_Enabled);
        const QColor background(Qt::blue);
        QVERIFY(sameColours(image.copy(PIN_SQUARE), badgeSquare(background, pinSquare)));
        QVERIFY(sameColours(image.copy(STEALTH_SQUARE), badgeSquare(background, stealthSquare)));
        // The badge pictures tell the layers apart.
        QVERIFY(!sameColours(badgeSquare(background, {PIN, DEDICATED_BADGE}),
                             badgeSquare(background, {DEDICATED_BADGE, PIN})));
        QVERIFY(!sameColours(badgeSquare(background, {PIN}), badgeSquare(background, {GREY_PIN})));
        // In the probe's colours, not the product's (see rows-branded for those).
        Screenshot::save(image.copy(ROW).scaled(ROW.size() * 2),
                         QStringLiteral("probe-badges-")
                             + QString::fromLatin1(QTest::currentDataTag()).replace(' ', '-'));
    }

    void textLines_data()
    {
        QTest::addColumn<HalvorixServerSite>("row");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::newRow("city") << site("DEU", "Berlin") << "Germany"
                              << "Berlin";
        QTest::newRow("dedicated address") << dedicatedSite("DEU", "My server", "192.0.2.1") << "Germany"
                                           << "My server (192.0.2.1)";
        QTest::newRow("unknown country") << site("XXX", "Nowhere") << CountryCode::findByIsoCode("XXX").getName()
                                         << "Nowhere";
    }

    // Each line against the same text drawn where and how the row puts it:
    // the country in bold 13 px above the middle, the second line in 11 px
    // below it.
    void textLines()
    {
        QFETCH(HalvorixServerSite, row);
        QFETCH(QString, first);
        QFETCH(QString, second);
        ServerListWidgetStyle::setInstance(QSharedPointer<ProbeStyle>::create());
        const QImage image = paintRow(row, QStyle::State_Enabled);

        // Left of the badges, above the separator.
        const QRect text(QPoint(ROW.left() + 40, ROW.top()), QPoint(ROW.right() - 50, ROW.bottom() - 1));
        QImage expected = image;
        QPainter painter(&expected);
        painter.fillRect(text, Qt::blue);
        painter.setPen(Qt::black);
        const auto drawLine = [&painter](const QRect &area, int weight, int pixelSize, Qt::Alignment alignment,
                                         const QString &line) {
            QFont font;
            font.setWeight(weight);
            font.setPixelSize(pixelSize);
            painter.setFont(font);
            painter.drawText(area, int(alignment), line);
        };
        drawLine(QRect(QPoint(ROW.left() + 40, ROW.top()), QPoint(ROW.right(), ROW.bottom() - 20)), QFont::Bold, 13,
                 Qt::AlignLeft | Qt::AlignBottom, first);
        drawLine(QRect(QPoint(ROW.left() + 40, ROW.top() + 20), ROW.bottomRight()), QFont::Normal, 11,
                 Qt::AlignLeft | Qt::AlignTop, second);
        painter.end();
        QVERIFY(sameColours(image.copy(text), expected.copy(text)));
    }

    // A selected pinned row, a dedicated one ("city (address)") and an unknown
    // country, painted with the branded style for people to look at.
    void brandedRowsPicture()
    {
        QImage strip(ROW.width(), 3 * 40, QImage::Format_ARGB32_Premultiplied);
        strip.fill(QColor(0x2b, 0x3a, 0x4a));
        QStandardItemModel model;
        const QList<HalvorixServerSite> shown {fixtureSites()[2], fixtureSites()[4], placed("XXX", "Nowhere", 0, 0)};
        for (const HalvorixServerSite &site : shown) {
            auto *item = new QStandardItem(site.getId());
            item->setData(QVariant::fromValue(site), Qt::UserRole);
            model.appendRow(item);
        }
        QPainter painter(&strip);
        for (int row = 0; row < shown.size(); ++row) {
            QStyleOptionViewItem option;
            option.rect = QRect(0, 40 * row, ROW.width(), 40);
            option.state = row == 0 ? QStyle::State_Selected : QStyle::State_Enabled;
            ServerSiteItemDelegate().paint(&painter, option, model.index(row, 0));
        }
        painter.end();
        QVERIFY(!Screenshot::save(strip.scaled(strip.size() * 2), QStringLiteral("rows-branded")).isEmpty());
    }

    void cleanup() { ServerListWidgetStyle::setInstance({}); }
};

QTEST_MAIN(TestServerListWidget)
#include "tst_serverlistwidget.moc"
