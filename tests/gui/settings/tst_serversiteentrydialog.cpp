#include "catalogue/HalvorixServerSite.h"
#include "catalogue/ServerSitePortFilter.h"
#include "catalogue/ServerSiteProtocolFilter.h"
#include "gui/settings/ServerSiteEntryDialog.h"
#include "gui/settings/ServerSiteEntryWidget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {
// Default offers: UDP on 1194 and 443, TCP on 443.
const char CONFIG5[] = R"({ "default": { "supportedCiphers": [
  { "cipher": "AES-128-GCM", "ciphers": ["AES-128-GCM"], "protocol": "UDP", "port": 1194, "default": true },
  { "cipher": "AES-256-CBC", "ciphers": ["AES-256-CBC"], "protocol": "TCP", "port": 443 },
  { "cipher": "AES-128-GCM", "ciphers": ["AES-128-GCM"], "protocol": "UDP", "port": 443 } ] } })";

template<typename T>
T *child(QWidget &dialog, const char *name)
{
    return dialog.findChild<T *>(QLatin1String(name));
}

QStringList itemTexts(const QComboBox *combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}
} // namespace

class TestServerSiteEntryDialog : public QObject
{
    Q_OBJECT

    QTemporaryDir m_configDir;

    static bool okEnabled(ServerSiteEntryDialog &dialog) { return child<QPushButton>(dialog, "okButton")->isEnabled(); }
    static QLineEdit *address(ServerSiteEntryDialog &dialog)
    {
        return child<QLineEdit>(dialog, "serverSitesDedicatedIpAddress");
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_configDir.isValid());
        QFile file(m_configDir.filePath(QStringLiteral("config5.json")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(CONFIG5);
        file.close();
        QSettings().setValue(QStringLiteral("config/configDir"), m_configDir.path());
    }

    void startState()
    {
        ServerSiteEntryDialog dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Add new dedicated Ip"));
        QVERIFY(!okEnabled(dialog));
        QVERIFY(child<QLabel>(dialog, "inputsCheck")->isHidden());
        QVERIFY(!dialog.setAsDefault());
        QCOMPARE(itemTexts(child<QComboBox>(dialog, "serverSitesProtocolFilter")), (QStringList {"Any", "UDP", "TCP"}));
        QCOMPARE(itemTexts(child<QComboBox>(dialog, "serverSitesPortFilter")), (QStringList {"Any", "443", "1194"}));
        const QComboBox *countries = child<QComboBox>(dialog, "serverSitesDedicatedIpCountryCode");
        QCOMPARE(countries->currentIndex(), 0);
        QStringList names = itemTexts(countries);
        QVERIFY(names.size() > 60);
        QStringList sorted = names;
        std::sort(sorted.begin(), sorted.end());
        QCOMPARE(names, sorted);
        const int germany = countries->findText(QStringLiteral("Germany"));
        QVERIFY(germany >= 0);
        QCOMPARE(countries->itemData(germany).toString(), QStringLiteral("DEU"));
    }

    void address_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("backspaces");
        QTest::addColumn<QString>("reason");
        const QString invalid = QStringLiteral("The address is not a valid IPv4 address.");
        const QString listed = QStringLiteral("This address is already in the list.");
        const QString empty = QStringLiteral("Enter the server's IPv4 address.");
        // clang-format off
        QTest::newRow("complete") << "10.8.0.1" << 0 << QString();
        QTest::newRow("shortened") << "10.8.0.1" << 1 << invalid;
        QTest::newRow("shortened and retyped") << "10.8.0.12" << 1 << QString();
        QTest::newRow("already in the list") << "10.8.0.7" << 0 << listed;
        QTest::newRow("already in the list, longer") << "10.8.0.77" << 0 << QString();
        QTest::newRow("group above 255") << "300.1.1.1" << 0 << invalid;
        QTest::newRow("leading zero") << "010.8.0.1" << 0 << invalid;
        QTest::newRow("leading zero of a listed address") << "10.8.0.07" << 0 << invalid;
        QTest::newRow("incomplete") << "10.8.0." << 0 << invalid;
        QTest::newRow("emptied") << "1" << 1 << empty;
        // clang-format on
    }

    void address()
    {
        QFETCH(QString, keys);
        QFETCH(int, backspaces);
        QFETCH(QString, reason);
        ServerSiteEntryDialog dialog;
        dialog.setAlreadyUsedIps({QHostAddress(QStringLiteral("10.8.0.7")), QHostAddress(QStringLiteral("10.9.0.1"))});
        QTest::keyClicks(address(dialog), keys);
        for (int i = 0; i < backspaces; ++i)
            QTest::keyClick(address(dialog), Qt::Key_Backspace);
        QCOMPARE(okEnabled(dialog), reason.isEmpty());
        // OK greyed out says why, under the address.
        const QLabel *check = child<QLabel>(dialog, "inputsCheck");
        QCOMPARE(check->isHidden(), reason.isEmpty());
        QCOMPARE(check->text(), reason);
    }

    void onlyTheAddressIsChecked()
    {
        ServerSiteEntryWidget widget;
        QSignalSpy checks(&widget, &ServerSiteEntryWidget::areInputsValid);
        child<QComboBox>(widget, "serverSitesDedicatedIpCountryCode")->setCurrentIndex(3);
        child<QComboBox>(widget, "serverSitesProtocolFilter")->setCurrentIndex(2);
        child<QComboBox>(widget, "serverSitesPortFilter")->setCurrentIndex(1);
        child<QCheckBox>(widget, "serverSitesSetAsDefaultCheckbox")->setChecked(true);
        child<QLineEdit>(widget, "serverSitesDedicatedIpComment")->setText(QStringLiteral("home"));
        QCOMPARE(checks.count(), 0);
        child<QLineEdit>(widget, "serverSitesDedicatedIpAddress")->setText(QStringLiteral("10.8.0.1"));
        QCOMPARE(checks.count(), 1);
        QCOMPARE(checks.first().first().toBool(), true);
        QVERIFY(widget.setAsDefault());
    }

    void newEntry_data()
    {
        QTest::addColumn<QString>("protocol");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("udpFile");
        QTest::addColumn<QString>("tcpFile");
        QTest::addColumn<QList<int>>("offeredPorts");
        // clang-format off
        const QString udp = QStringLiteral("dedicated-udp.conf");
        const QString tcp = QStringLiteral("dedicated-tcp.conf");
        const QString off = QStringLiteral(".off");
        QTest::newRow("any, any") << "Any" << "Any" << udp << tcp << QList<int> {1194, 443, 443};
        QTest::newRow("UDP, any") << "UDP" << "Any" << udp << tcp + off << QList<int> {1194, 443};
        QTest::newRow("TCP, 443") << "TCP" << "443" << udp + off << tcp << QList<int> {443};
        QTest::newRow("any, 1194") << "Any" << "1194" << udp << tcp << QList<int> {1194};
        QTest::newRow("TCP, 1194: nothing offered") << "TCP" << "1194" << udp + off << tcp << QList<int> {};
        // clang-format on
    }

    void newEntry()
    {
        QFETCH(QString, protocol);
        QFETCH(QString, port);
        QFETCH(QString, udpFile);
        QFETCH(QString, tcpFile);
        QFETCH(QList<int>, offeredPorts);
        ServerSiteEntryDialog dialog;
        QComboBox *countries = child<QComboBox>(dialog, "serverSitesDedicatedIpCountryCode");
        countries->setCurrentIndex(countries->findText(QStringLiteral("Germany")));
        child<QLineEdit>(dialog, "serverSitesDedicatedIpComment")->setText(QStringLiteral(" my server "));
        address(dialog)->setText(QStringLiteral("10.8.0.1"));
        QComboBox *protocols = child<QComboBox>(dialog, "serverSitesProtocolFilter");
        protocols->setCurrentIndex(protocols->findText(protocol));
        QComboBox *ports = child<QComboBox>(dialog, "serverSitesPortFilter");
        ports->setCurrentIndex(ports->findText(port));

        const HalvorixServerSite site = dialog.getNewEntry();
        QCOMPARE(site.getUdpConfigFile(), udpFile);
        QCOMPARE(site.getTcpConfigFile(), tcpFile);
        QList<int> found;
        for (const OpenVpnConfigCipher &offer : site.getConfigCiphers())
            found << offer.getPort();
        QCOMPARE(found, offeredPorts);
        QCOMPARE(site.getCity(), QStringLiteral(" my server "));
        QCOMPARE(site.getDedicatedIp(), QHostAddress(QStringLiteral("10.8.0.1")));
        QCOMPARE(site.getId(), QStringLiteral("DEU-10.8.0.1"));
        QCOMPARE(site.getDedicatedProtocol(), protocols->currentData().value<ServerSiteProtocolFilter>().getProtocol());
        QCOMPARE(site.getPort(), ports->currentData().value<ServerSitePortFilter>().getPort());
        QCOMPARE(site.getLocation().getCountryCode(), QStringLiteral("DE"));
    }

    void results()
    {
        ServerSiteEntryDialog dialog;
        address(dialog)->setText(QStringLiteral("10.8.0.1"));
        QTimer::singleShot(0, child<QPushButton>(dialog, "okButton"), &QPushButton::click);
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QTimer::singleShot(0, child<QPushButton>(dialog, "cancelButton"), &QPushButton::click);
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
    }
};

QTEST_MAIN(TestServerSiteEntryDialog)
#include "tst_serversiteentrydialog.moc"
