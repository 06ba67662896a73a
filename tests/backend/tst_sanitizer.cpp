#include "openvpn/UsernamePasswordSanitizer.h"

#include <QTest>

class TestSanitizer : public QObject
{
    Q_OBJECT

private slots:
    void sanitise_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("plain");
        QTest::addColumn<QString>("escaped");
        QTest::addColumn<bool>("illegal");
        QTest::newRow("empty") << ""
                               << ""
                               << "" << false;
        QTest::newRow("only controls and blanks") << " \t\r\n \x01"
                                                  << ""
                                                  << "" << true;
        QTest::newRow("outer blanks trimmed, inner kept") << "  pass word  "
                                                          << "pass word"
                                                          << "pass word" << false;
        QTest::newRow("tab inside removed") << "a\tb"
                                            << "ab"
                                            << "ab" << true;
        QTest::newRow("control does not shield blanks") << "\x01 a \x02"
                                                        << "a"
                                                        << "a" << true;
        QTest::newRow("line break protocol injection") << "secret\npassword \"Auth\" x"
                                                       << "secretpassword \"Auth\" x"
                                                       << "secretpassword \\\"Auth\\\" x" << true;
        QTest::newRow("quote") << "a\"b"
                               << "a\"b"
                               << "a\\\"b" << false;
        QTest::newRow("backslash") << "a\\b"
                                   << "a\\b"
                                   << "a\\\\b" << false;
        QTest::newRow("trailing backslash") << "ab\\"
                                            << "ab\\"
                                            << "ab\\\\" << false;
        QTest::newRow("DEL") << QString("a") + QChar(0x7F) + "b"
                             << "ab"
                             << "ab" << true;
        QTest::newRow("C1 0x85 and 0x9F") << QString("a") + QChar(0x85) + "b" + QChar(0x9F) << "ab"
                                          << "ab" << true;
        QTest::newRow("0xA0 inside stays") << QString("a") + QChar(0xA0) + "b" << QString("a") + QChar(0xA0) + "b"
                                           << QString("a") + QChar(0xA0) + "b" << false;
        QTest::newRow("0xA0 at the ends trimmed") << QString(QChar(0xA0)) + "ab" + QChar(0xA0) << "ab"
                                                  << "ab" << false;
        QTest::newRow("0xE9 stays") << QString("caf") + QChar(0xE9) << QString("caf") + QChar(0xE9)
                                    << QString("caf") + QChar(0xE9) << false;
        QTest::newRow("surrogate pair stays")
            << QString::fromUtf8("k\xF0\x9F\x94\x91") << QString::fromUtf8("k\xF0\x9F\x94\x91")
            << QString::fromUtf8("k\xF0\x9F\x94\x91") << false;
    }

    void sanitise()
    {
        QFETCH(QString, text);
        const UsernamePasswordSanitizer sanitizer(text);
        QTEST(sanitizer.sanitise(), "plain");
        QTEST(sanitizer.sanitiseEscape(), "escaped");
        QTEST(UsernamePasswordSanitizer::sanitiseEscape(text), "escaped");
        QTEST(sanitizer.containsIllegalChars(), "illegal");
    }

    void illegalCharBoundaries_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("illegal");
        QTest::newRow("0x00") << 0x00 << true;
        QTest::newRow("0x1F") << 0x1F << true;
        QTest::newRow("blank") << 0x20 << false;
        QTest::newRow("tilde") << 0x7E << false;
        QTest::newRow("DEL") << 0x7F << true;
        QTest::newRow("0x80") << 0x80 << true;
        QTest::newRow("0x9F") << 0x9F << true;
        QTest::newRow("0xA0") << 0xA0 << false;
        QTest::newRow("0x1080 is no C1") << 0x1080 << false;
        QTest::newRow("high surrogate") << 0xD83D << false;
    }

    void illegalCharBoundaries()
    {
        QFETCH(int, code);
        QTEST(UsernamePasswordSanitizer::isIllegalChar(QChar(code)), "illegal");
    }
};

QTEST_GUILESS_MAIN(TestSanitizer)
#include "tst_sanitizer.moc"
