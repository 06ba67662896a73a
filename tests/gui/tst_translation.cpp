#include "StageTextTable.h"
#include "core/VpnStartupProgress.h"
#include "gui/ApplicationTranslation.h"

#include <QCoreApplication>
#include <QTest>
#include <QTranslator>

namespace {
const QString FIREWALL = QStringLiteral("Connecting to OrvalVPN is taking unusually long, please check your firewall!");

QString translated(const char *context, const QString &key)
{
    return QCoreApplication::translate(context, key.toLatin1().constData());
}
} // namespace

class TestTranslation : public QObject
{
    Q_OBJECT

    QTranslator m_translator;

private slots:
    void initTestCase() { QVERIFY(ApplicationTranslation::install(m_translator)); }

    // The loading page shows these texts for each stage.
    void stageTexts_data() { addStageTextRows(); }

    void stageTexts()
    {
        QFETCH(QString, key);
        QFETCH(QString, label);
        QFETCH(QString, tooltip);
        QFETCH(QString, warning);
        // What the translation holds: an entry without text gives none (the
        // application-wide look-up then falls back to the key itself).
        const auto text = [this](const QString &lookup) {
            return m_translator.translate("QObject", lookup.toLatin1().constData());
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
