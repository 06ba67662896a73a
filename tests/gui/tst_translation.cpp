#include "backend/VpnStartupProgress.h"
#include "gui/ApplicationTranslation.h"

#include <QCoreApplication>
#include <QTest>
#include <QTranslator>

namespace {
const QString PATIENT = QStringLiteral("Connecting to OrvalVPN is taking unusually long, please be patient");
const QString FIREWALL = QStringLiteral("Connecting to OrvalVPN is taking unusually long, please check your firewall!");
const QString ABORT_PATIENT = QStringLiteral("Aborting the connection is taking unusually long, please be patient");

QString translated(const char *context, const QString &key)
{
    return QCoreApplication::translate(context, key.toLatin1().constData());
}
} // namespace

class TestTranslation : public QObject
{
    Q_OBJECT

    QTranslator translator;

private slots:
    void initTestCase() { QVERIFY(ApplicationTranslation::install(translator)); }

    // The loading page shows these texts for each stage.
    void stageTexts_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("tooltip");
        QTest::addColumn<QString>("warning");
        using P = VpnStartupProgress;
        const auto row = [](const QString &key, const QString &label, const QString &tooltip, const QString &warning) {
            QTest::newRow(qPrintable(key)) << key << label << tooltip << warning;
        };
        row(P::INIT_CONNECTION, "Initializing connection", "", PATIENT);
        row(P::PRELIMINARY_CHECKS, "Checking preconditions", "", " ");
        row(P::PREPARE_GENERIC_VPN_ENVIRONMENT, "Preparing VPN", "", PATIENT);
        row(P::PREPARE_OPENVPN_ENVIRONMENT, "Preparing OpenVPN", "", PATIENT);
        row(P::PREPARE_OPENCONNECT_ENVIRONMENT, "Preparing OpenConnect", "", PATIENT);
        row(P::GENERIC_VPN_STARTING, "Starting VPN", "Please wait while the VPN program is starting", FIREWALL);
        row(P::OPENVPN_STARTING, "Starting OpenVPN", "Please wait while OpenVPN is starting", FIREWALL);
        row(P::OPENCONNECT_STARTING, "Starting OpenConnect", "Please wait while OpenConnect is starting", FIREWALL);
        row(P::DISABLE_INTERFACES, "Disabling network interfaces",
            "Please wait while the operative system disables the interfaces",
            "Aborting the connection is taking unusually long, please disable the interfaces manually");
        row(P::ACTIVATE_INTERFACES, "Enabling network interfaces",
            "Please wait while the operative system enables the interfaces",
            "Connecting to OrvalVPN is taking unusually long, please enable the interfaces manually");
        row(P::CHECKING_DEFAULT_ROUTE, "Discovering default route", "Checking if Internet is reachable",
            "You are offline!");
        row(P::ENABLE_SEAMLESS_RECONNECT, "Enabling seamless reconnect", "", PATIENT);
        row(P::DISABLE_SEAMLESS_RECONNECT, "Disabling seamless reconnect", "", ABORT_PATIENT);
        row(P::ENABLE_IPV6_PROTECTION, "Enabling IPv6 leak protection", "", PATIENT);
        row(P::DISABLE_IPV6_PROTECTION, "Disabling IPv6 leak protection", "", ABORT_PATIENT);
        row(P::LOOKUP_HOSTNAME_BEFORE_CONNECTING, "Resolving VPN server IP address", "Resolving the server hostname",
            "Resolving the server hostname is taking unusually long. You can skip this operation. The hostname will be "
            "refreshed once you are connected");
    }

    void stageTexts()
    {
        QFETCH(QString, key);
        QFETCH(QString, label);
        QFETCH(QString, tooltip);
        QFETCH(QString, warning);
        // What the translation holds: an entry without text gives none (the
        // application-wide look-up then falls back to the key itself).
        const auto text = [this](const QString &lookup) {
            return translator.translate("QObject", lookup.toLatin1().constData());
        };
        QCOMPARE(text(key + VpnStartupProgress::SUFFIX_LABEL), label);
        QCOMPARE(text(key + VpnStartupProgress::SUFFIX_TOOLTIP), tooltip);
        QCOMPARE(text(key + VpnStartupProgress::SUFFIX_WARNING), warning);
        QCOMPARE(translated("QObject", key + VpnStartupProgress::SUFFIX_LABEL), label);
    }

    void applicationName_data()
    {
        QTest::addColumn<QByteArray>("context");
        QTest::newRow("tray") << QByteArray("QObject");
        QTest::newRow("process picker") << QByteArray("QWidget");
    }

    void applicationName()
    {
        QFETCH(QByteArray, context);
        QCOMPARE(translated(context.constData(), QStringLiteral("APPLICATION_NAME")), QStringLiteral("OrvalVPN"));
    }

    void loadingPageFirewallBanner()
    {
        QCOMPARE(translated("OrvalVPNLoadingWidget",
                            "Connecting to APPLICATION_NAME is taking unusually long, please check your firewall!"),
                 FIREWALL);
    }

    void aTranslationThatCannotBeLoadedIsLogged()
    {
        QTranslator missing;
        QTest::ignoreMessage(QtWarningMsg, "Could not load the translation \":/no-such-translation\"");
        QVERIFY(!ApplicationTranslation::install(missing, QStringLiteral(":/no-such-translation")));
        // The translation installed before is still the one in use.
        QCOMPARE(translated("QObject", QStringLiteral("APPLICATION_NAME")), QStringLiteral("OrvalVPN"));
    }
};

QTEST_GUILESS_MAIN(TestTranslation)
#include "tst_translation.moc"
