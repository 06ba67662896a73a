// The small pages: the status-bar label, About, and the link handler they share.
#include "BuildConfig.h"
#include "SiteWithFiles.h"
#include "catalogue/CountryCode.h"
#include "gui/AboutDialog.h"
#include "gui/ApplicationTranslation.h"
#include "gui/ConnectionStatus.h"
#include "gui/ExternalLink.h"
#include "gui/ServerSiteFacts.h"
#include "gui/ServerSiteFactsForStatusBar.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

namespace {
template<typename T>
QString text(QWidget &widget, const char *name)
{
    return widget.findChild<T *>(QLatin1String(name))->text();
}

QString href(const QLabel &label)
{
    return QRegularExpression(QStringLiteral("href=\"([^\"]*)\"")).match(label.text()).captured(1);
}
} // namespace

class TestPages : public QObject
{
    Q_OBJECT

    QTranslator m_translator;
    QList<QUrl> m_opened;

private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(vpnbackend);
        QVERIFY(ApplicationTranslation::install(m_translator));
        ExternalLink::setOpener([this](const QUrl &url) {
            m_opened << url;
            return true;
        });
    }

    void init() { m_opened.clear(); }

    void connectionStatus()
    {
        ConnectionStatus status;
        auto *state = status.findChild<QLabel *>(QStringLiteral("state"));
        QCOMPARE(status.findChild<QLabel *>(QStringLiteral("label"))->text(), QStringLiteral("Status:"));
        QCOMPARE(state->text(), QStringLiteral("Disconnected"));
        QCOMPARE(status.size(), QSize(155, 17));
        // An engine's state text is shown as typed, never as markup.
        status.setState(QStringLiteral("<b>CONNECTED</b>"));
        QCOMPARE(state->text(), QStringLiteral("<b>CONNECTED</b>"));
        QCOMPARE(state->textFormat(), Qt::PlainText);
    }

    // The state field has one width whatever it shows, and every state fits:
    // the status bar neither cuts "ASSIGN_IP" nor moves at each state.
    void connectionStatusKeepsOneWidth_data()
    {
        QTest::addColumn<QString>("state");
        for (const char *state : {"CONNECTING", "TCP_CONNECT", "ASSIGN_IP", "ADD_ROUTES", "RECONNECTING", "WAIT",
                                  "Disconnected", "Reserved for the window", ""})
            QTest::newRow(*state ? state : "cleared") << QString::fromLatin1(state);
    }

    void connectionStatusKeepsOneWidth()
    {
        QFETCH(QString, state);
        QWidget bar;
        auto *layout = new QHBoxLayout(&bar);
        auto *status = new ConnectionStatus(&bar);
        layout->addWidget(status);
        layout->addStretch();
        status->reserveWidthFor({QStringLiteral("Reserved for the window")});
        bar.show();
        auto *label = status->findChild<QLabel *>(QStringLiteral("state"));
        QTRY_VERIFY(label->width() > 0);
        const int width = label->width();
        status->setState(state);
        QTest::qWait(1);
        QCOMPARE(label->width(), width);
        QVERIFY2(label->fontMetrics().horizontalAdvance(state) <= label->contentsRect().width(),
                 qPrintable(QString::number(label->contentsRect().width())));
    }

    void aboutShowsTheVersionAndTheSite()
    {
        AboutDialog about;
        QCOMPARE(about.windowTitle(), QStringLiteral("About"));
        QCOMPARE(about.findChild<QLabel *>(QStringLiteral("version"))->text(),
                 QStringLiteral("OrvalVPN Client v0.5.10"));
        auto *url = about.findChild<QLabel *>(QStringLiteral("url"));
        QCOMPARE(href(*url), QString::fromLatin1(BuildConfig::websiteUrl));
        QVERIFY(ExternalLink::isAcceptable(QUrl(href(*url))));
        QVERIFY(!about.findChild<QLabel *>(QStringLiteral("banner"))->pixmap(Qt::ReturnByValue).isNull());
        emit url->linkActivated(href(*url));
        QCOMPARE(m_opened, QList<QUrl> {QUrl(QString::fromLatin1(BuildConfig::websiteUrl))});
    }

    void aboutClosesWithClose()
    {
        AboutDialog about;
        about.show();
        QSignalSpy finished(&about, &QDialog::finished);
        auto *box = about.findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
        QTest::mouseClick(box->button(QDialogButtonBox::Close), Qt::LeftButton);
        QCOMPARE(finished.count(), 1);
        QVERIFY(!about.isVisible());
    }

    void facts_data()
    {
        QTest::addColumn<int>("files");
        QTest::addColumn<bool>("stealth");
        QTest::addColumn<bool>("bittorrent");
        QTest::addColumn<QString>("protocols");
        QTest::addColumn<QString>("cipher");
        QTest::newRow("UDP only, plain") << int(UDP_FILE) << false << false << "UDP"
                                         << "AES-128-CBC | SHA1";
        QTest::newRow("TCP only, stealth") << int(TCP_FILE) << true << false << "TCP"
                                           << "AES-256-GCM | SHA512";
        QTest::newRow("both: TCP's cipher wins, BitTorrent") << int(BOTH_FILES) << false << true << "UDP, TCP"
                                                             << "AES-256-GCM | SHA512";
        QTest::newRow("neither, both marks") << int(NO_FILES) << true << true << ""
                                             << "";
    }

    // Both forms show the same facts; the location is the site's own.
    void facts()
    {
        QFETCH(int, files);
        QFETCH(bool, stealth);
        QFETCH(bool, bittorrent);
        QFETCH(QString, protocols);
        QFETCH(QString, cipher);
        QTemporaryDir dir;
        const HalvorixServerSite site = siteWithFiles(dir, files, stealth, bittorrent);
        ServerSiteFacts panel;
        ServerSiteFactsForStatusBar line;
        QWidget *forms[] = {&panel, &line};
        for (QWidget *form : forms) {
            form->show();
            QVERIFY(QMetaObject::invokeMethod(form, "onServerSite", Q_ARG(HalvorixServerSite, site)));
            QCOMPARE(text<QLabel>(*form, "country"), QStringLiteral("Switzerland"));
            QCOMPARE(text<QLabel>(*form, "city"), QStringLiteral("Zurich"));
            QCOMPARE(text<QLabel>(*form, "protocol"), protocols);
            QCOMPARE(text<QLabel>(*form, "cipher"), cipher);
            QCOMPARE(form->findChild<QLabel *>(QStringLiteral("stealthIcon"))->isVisible(), stealth);
            QCOMPARE(form->findChild<QLabel *>(QStringLiteral("bittorrentIcon"))->isVisible(), bittorrent);
            QVERIFY(!form->findChild<QLabel *>(QStringLiteral("flag"))->pixmap(Qt::ReturnByValue).isNull());
        }
        QCOMPARE(text<QLabel>(panel, "label_2"), QStringLiteral("47.367,8.550"));
        QCOMPARE(text<QLabel>(line, "location"), QStringLiteral("47.367,8.550"));
        // The status bar's small flag keeps the flags' proportions.
        const QLabel &flag = *line.findChild<QLabel *>(QStringLiteral("flag"));
        const QSize image = flag.pixmap(Qt::ReturnByValue).size();
        QCOMPARE(flag.width() * image.height(), flag.height() * image.width());
        // The captions next to the icons stay, whatever the marks.
        QVERIFY(panel.findChild<QLabel *>(QStringLiteral("stealthLabel"))->isVisible());
        QVERIFY(panel.findChild<QLabel *>(QStringLiteral("bittorrentLabel"))->isVisible());
    }

    void factsOfAnUnknownCountry()
    {
        ServerSiteFacts panel;
        panel.onServerSite(HalvorixServerSite(QStringLiteral("ZZ"), QStringLiteral("Nowhere"), QString(), QString(),
                                              false, false, QDir(), {}, QHostAddress(), GeoLocation(-33.8688, 151.2093),
                                              QString(), 0));
        QCOMPARE(text<QLabel>(panel, "country"), CountryCode::findByIsoCode(QStringLiteral("ZZ")).getName());
        QCOMPARE(panel.findChild<QLabel *>(QStringLiteral("flag"))->pixmap(Qt::ReturnByValue).toImage(),
                 QPixmap(QStringLiteral(":/images/flag_empty.png")).toImage());
        QCOMPARE(text<QLabel>(panel, "label_2"), QStringLiteral("-33.869,151.209"));
    }

    void links_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<bool>("opens");
        QTest::newRow("https site") << "https://www.orvalvpn.example/" << true;
        QTest::newRow("https page") << "https://www.orvalvpn.example/whats-my-ip.php" << true;
        QTest::newRow("untranslated placeholder") << "APPLICATION_URL" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("plain http") << "http://www.orvalvpn.example/" << false;
        QTest::newRow("no host") << "https:///etc/passwd" << false;
        QTest::newRow("local file") << "file:///etc/passwd" << false;
        QTest::newRow("script") << "javascript:alert(1)" << false;
        QTest::newRow("other program") << "x-terminal://run" << false;
    }

    void links()
    {
        QFETCH(QString, link);
        QFETCH(bool, opens);
        if (!opens)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Refused to open the link")));
        QCOMPARE(ExternalLink::open(link), opens);
        QCOMPARE(m_opened.count(), opens ? 1 : 0);
    }
};

QTEST_MAIN(TestPages)
#include "tst_pages.moc"
