#include "CatalogueFixtures.h"

#include "catalogue/ComboBoxConfigCipher.h"
#include "openvpn/ConnectVia.h"

#include <QSet>
#include <QTest>

using namespace fixtures;

namespace {

QStringList displayPorts(const QList<ComboBoxConfigCipher> &entries)
{
    QStringList texts;
    for (const ComboBoxConfigCipher &entry : entries)
        texts << entry.getDisplayPort();
    return texts;
}

} // namespace

class TestCipherComboBox : public QObject
{
    Q_OBJECT

private slots:
    void entryLists_data()
    {
        QTest::addColumn<QList<OpenVpnConfigCipher>>("offers");
        QTest::addColumn<QStringList>("udpEntries");
        const OpenVpnConfigCipher a = offer("UDP", 1194);
        const OpenVpnConfigCipher b = offer("UDP", 53, "SHA256");
        const OpenVpnConfigCipher s = stealthOffer("UDP", 443);
        const OpenVpnConfigCipher t = stealthOffer("UDP", 8443);
        QTest::newRow("three with one stealth") << QList<OpenVpnConfigCipher> {a, s, b, offer("TCP", 80)}
                                                << QStringList {"Auto", "1194", "443 | Stealth", "53 ( SHA256 )"};
        QTest::newRow("one offer, no Auto") << QList<OpenVpnConfigCipher> {a} << QStringList {"1194"};
        QTest::newRow("stealth and plain")
            << QList<OpenVpnConfigCipher> {s, a} << QStringList {"1194", "443 | Stealth", "1194"};
        QTest::newRow("two stealth") << QList<OpenVpnConfigCipher> {s, t}
                                     << QStringList {"Auto", "443 | Stealth", "8443 | Stealth"};
        QTest::newRow("no UDP offers") << QList<OpenVpnConfigCipher> {offer("TCP", 80)} << QStringList();
    }

    void entryLists()
    {
        QFETCH(QList<OpenVpnConfigCipher>, offers);
        QFETCH(QStringList, udpEntries);
        QCOMPARE(displayPorts(ComboBoxConfigCipher::getComboBoxConfigCipherList(site("USA", "Dallas", offers),
                                                                                ConnectVia::UDP())),
                 udpEntries);
    }

    void autoEntryHoldsTheNonStealthOffers()
    {
        const OpenVpnConfigCipher a = offer("UDP", 1194);
        const OpenVpnConfigCipher b = offer("UDP", 53);
        const OpenVpnConfigCipher s = stealthOffer("UDP", 443);
        const QList<ComboBoxConfigCipher> entries =
            ComboBoxConfigCipher::getComboBoxConfigCipherList(site("USA", "Dallas", {a, s, b}), ConnectVia::UDP());
        QCOMPARE(entries.size(), 4);
        QCOMPARE(entries.at(0).getConfigCiphers(), (QList<OpenVpnConfigCipher> {a, b}));
        QCOMPARE(entries.at(1).getConfigCiphers(), QList<OpenVpnConfigCipher> {a});
        QCOMPARE(entries.at(2).getConfigCiphers(), QList<OpenVpnConfigCipher> {s});
        QCOMPARE(entries.at(3).getConfigCiphers(), QList<OpenVpnConfigCipher> {b});
        QVERIFY(entries.at(2).isStealth());
        QVERIFY(!entries.at(0).isStealth());
    }

    void stealthOnlyAutoEntryIsEmptyAndInvalid()
    {
        const QList<ComboBoxConfigCipher> entries = ComboBoxConfigCipher::getComboBoxConfigCipherList(
            site("USA", "Dallas", {stealthOffer("TCP", 443), stealthOffer("TCP", 8443)}), ConnectVia::TCP());
        const ComboBoxConfigCipher autoEntry = entries.first();
        QCOMPARE(autoEntry.getDisplayPort(), QStringLiteral("Auto"));
        QVERIFY(!autoEntry.isValid());
        QVERIFY(autoEntry.getPort().isEmpty());
        QVERIFY(autoEntry.getCiphers().isEmpty());
        QVERIFY(autoEntry.hasSTunnelPort());
        QVERIFY(autoEntry == ComboBoxConfigCipher(QList<OpenVpnConfigCipher>()));
        QVERIFY(autoEntry != entries.at(1));
    }

    void singleNonStealthAutoEntryEqualsItsOffer()
    {
        const OpenVpnConfigCipher a = offer("UDP", 1194);
        const QList<ComboBoxConfigCipher> entries = ComboBoxConfigCipher::getComboBoxConfigCipherList(
            site("USA", "Dallas", {stealthOffer("UDP", 443), a}), ConnectVia::UDP());
        QCOMPARE(entries.size(), 3);
        QCOMPARE(entries.first().getDisplayPort(), QStringLiteral("1194"));
        QVERIFY(entries.first() == ComboBoxConfigCipher(a));
    }

    void stealthEntry()
    {
        QVERIFY(ComboBoxConfigCipher(stealthOffer("UDP", 1)).isStealth());
        QVERIFY(!ComboBoxConfigCipher(QList<OpenVpnConfigCipher> {stealthOffer("UDP", 1), stealthOffer("UDP", 2)})
                     .isStealth());
        QVERIFY(!ComboBoxConfigCipher(offer("UDP", 1)).isStealth());
    }

    void equalityIgnoresOrderAndRepetition()
    {
        const OpenVpnConfigCipher a = offer("UDP", 1);
        const OpenVpnConfigCipher b = offer("UDP", 2);
        QVERIFY(ComboBoxConfigCipher({a, b}) == ComboBoxConfigCipher({b, a}));
        QVERIFY(ComboBoxConfigCipher({a, a}) == ComboBoxConfigCipher(a));
        QVERIFY(ComboBoxConfigCipher({a, b}) != ComboBoxConfigCipher(a));
        QVERIFY(ComboBoxConfigCipher(QList<OpenVpnConfigCipher>())
                == ComboBoxConfigCipher(QList<OpenVpnConfigCipher>()));
    }

    void cipherNames()
    {
        const ComboBoxConfigCipher entry({offer("UDP", 1, QString(), {"AES-256-GCM", "AES-128-GCM"}),
                                          offer("UDP", 2, QString(), {"AES-128-GCM", "none"}),
                                          offer("UDP", 3, QString(), {"aes-192-cbc"})});
        QCOMPARE(entry.getCiphers(), (QStringList {"AES-128-GCM", "aes-192-cbc", "AES-256-GCM", "none"}));
        QCOMPARE(entry.getCipherButNotNone(), (QStringList {"AES-128-GCM", "aes-192-cbc", "AES-256-GCM"}));
    }

    void portsAuthsAndStunnel()
    {
        OfferFields withStunnel;
        withStunnel.port = 443;
        withStunnel.auth = QStringLiteral("SHA512");
        withStunnel.stunnelPort = 8443;
        const ComboBoxConfigCipher entry({offer(withStunnel), offer("UDP", 443), offer("UDP", 53)});
        QCOMPARE(entry.getPort(), (QList<int> {443, 443, 53}));
        QCOMPARE(entry.getAuth(), (QStringList {"SHA512", "", ""}));
        QCOMPARE(entry.getSTunnelPort(), (QList<int> {8443, 0, 0}));
        QVERIFY(!entry.hasSTunnelPort());
        QVERIFY(ComboBoxConfigCipher(offer(withStunnel)).hasSTunnelPort());
        QVERIFY(entry.isValid());
    }

    void defaultEntry()
    {
        const ComboBoxConfigCipher entry;
        QCOMPARE(entry.getConfigCiphers().size(), 1);
        QVERIFY(!entry.isValid());
        QVERIFY(entry.getDisplayPort().isEmpty());
        QVERIFY(!ComboBoxConfigCipher({offer("UDP", 1), OpenVpnConfigCipher()}).isValid());
    }

    void defaultComboBoxEntry()
    {
        const OpenVpnConfigCipher a = offer("TCP", 443);
        const HalvorixServerSite s = site("USA", "Dallas", {a, stealthOffer("TCP", 80), offer("UDP", 1194)});
        QCOMPARE(ComboBoxConfigCipher::getDefaultComboBoxConfigCipher(s, ConnectVia::TCP_WITH_CUSTOM_PROXY())
                     .getConfigCiphers(),
                 QList<OpenVpnConfigCipher> {a});
    }

    void offerByCipherName()
    {
        const OpenVpnConfigCipher on443 = offer("UDP", 443, QString(), {"AES-128-GCM", "AES-256-GCM"});
        const OpenVpnConfigCipher on1194 = offer("UDP", 1194, QString(), {"AES-128-GCM"});
        const ComboBoxConfigCipher entry({on443, on1194});
        QVERIFY(!entry.getConfigByCipher(QStringLiteral("BF-CBC")).isValid());
        QVERIFY(!entry.getConfigByCipher(QStringLiteral("aes-128-gcm")).isValid());
        QCOMPARE(entry.getConfigByCipher(QStringLiteral("AES-256-GCM")), on443);
        QSet<int> seen;
        for (int i = 0; i < 200 && seen.size() < 2; ++i)
            seen.insert(entry.getConfigByCipher(QStringLiteral("AES-128-GCM")).getPort());
        QCOMPARE(seen, (QSet<int> {443, 1194}));
    }

    void travelsInAVariant()
    {
        QVERIFY(QMetaType::type("ComboBoxConfigCipher") != QMetaType::UnknownType);
        const ComboBoxConfigCipher entry(offer("UDP", 53));
        QVERIFY(QVariant::fromValue(entry).value<ComboBoxConfigCipher>() == entry);
    }
};

QTEST_GUILESS_MAIN(TestCipherComboBox)
#include "tst_ciphercombobox.moc"
