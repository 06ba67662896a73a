#include "gui/settings/IpAddressEdit.h"
#include "gui/settings/IpAddressValidator.h"

#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTest>

// Types a sequence into the editor: plain characters, and {bs}, {home},
// {left} and {end} for the keys of those names.
static void type(QLineEdit &edit, const QString &keys)
{
    static const QRegularExpression token(QStringLiteral("\\{(\\w+)\\}|(.)"));
    auto it = token.globalMatch(keys);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        const QString key = match.captured(1);
        if (key.isEmpty())
            QTest::keyClicks(&edit, match.captured(2));
        else if (key == QLatin1String("bs"))
            QTest::keyClick(&edit, Qt::Key_Backspace);
        else if (key == QLatin1String("home"))
            QTest::keyClick(&edit, Qt::Key_Home);
        else if (key == QLatin1String("left"))
            QTest::keyClick(&edit, Qt::Key_Left);
        else if (key == QLatin1String("end"))
            QTest::keyClick(&edit, Qt::Key_End);
        else
            QFAIL(qPrintable(QStringLiteral("unknown key {%1}").arg(key)));
    }
}

static int cursorX(const QLineEdit &edit)
{
    return edit.inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
}

class TestIpAddressEdit : public QObject
{
    Q_OBJECT

private slots:
    void construction()
    {
        IpAddressEdit edit;
        QCOMPARE(edit.placeholderText(), QStringLiteral("IP Address"));
        QCOMPARE(edit.maxLength(), 15);
        QCOMPARE(edit.sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);
        QCOMPARE(edit.sizePolicy().verticalPolicy(), QSizePolicy::Fixed);
        QVERIFY(dynamic_cast<const IpAddressValidator *>(edit.validator()));
        QCOMPARE(edit.validator()->parent(), &edit);
    }

    void keystrokes_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<bool>("acceptable");

        // clang-format off
        QTest::newRow("three digits get their dot") << "192" << "192." << 4 << false;
        QTest::newRow("second group too") << "192168" << "192.168." << 8 << false;
        QTest::newRow("short groups need a typed dot") << "1921681.1" << "192.168.1.1" << 11 << true;
        QTest::newRow("no dot after the fourth group") << "1.2.3.456" << "1.2.3.456" << 9 << false;
        QTest::newRow("fourth group at 255") << "1.2.3.255" << "1.2.3.255" << 9 << true;
        QTest::newRow("a second dot collapses") << "10.." << "10." << 3 << false;
        QTest::newRow("dot appended behind the cursor") << "12{home}3" << "312." << 1 << false;
        QTest::newRow("deleting the dot adds none") << "192{bs}" << "192" << 3 << false;
        QTest::newRow("deleting into the second group") << "192168{bs}" << "192.168" << 7 << false;
        QTest::newRow("retyping after deleting") << "192{bs}{bs}2" << "192." << 4 << false;
        QTest::newRow("0.0.0.0 is refused") << "0.0.0.0" << "0.0.0." << 6 << false;
        QTest::newRow("255.255.255.255 is refused") << "255255255255" << "255.255.255.25" << 14 << true;
        QTest::newRow("letters are refused") << "1a.b2" << "1.2" << 3 << false;
        QTest::newRow("a refused key does not stop the dot") << "12x3" << "123." << 4 << false;
        QTest::newRow("no fifth group") << "1.2.3.4.5" << "1.2.3.45" << 8 << true;
        QTest::newRow("no fourth digit") << "1.2.3.4567" << "1.2.3.456" << 9 << false;
        QTest::newRow("never more than 15 characters") << "192168100200.1" << "192.168.100.200" << 15 << true;
        QTest::newRow("single zero groups") << "10.0.0.1" << "10.0.0.1" << 8 << true;
        QTest::newRow("zero first group") << "0.1.1.1" << "0.1.1.1" << 7 << true;
        QTest::newRow("leading zero, three digits") << "0101.1.1" << "010.1.1.1" << 9 << false;
        QTest::newRow("leading zero, two digits") << "08.1.1.1" << "08.1.1.1" << 8 << false;
        QTest::newRow("leading zeros in the last groups") << "192168001010" << "192.168.001.010" << 15 << false;
        QTest::newRow("leading zero in the last group") << "1.2.3.04" << "1.2.3.04" << 8 << false;
        QTest::newRow("leading zero deleted") << "1.2.3.04{left}{bs}" << "1.2.3.4" << 6 << true;
        // clang-format on
    }

    void keystrokes()
    {
        QFETCH(QString, keys);
        QFETCH(QString, text);
        QFETCH(int, cursor);
        QFETCH(bool, acceptable);
        IpAddressEdit edit;
        type(edit, keys);
        QCOMPARE(edit.text(), text);
        QCOMPARE(edit.cursorPosition(), cursor);
        QCOMPARE(edit.hasAcceptableInput(), acceptable);
    }

    void validate_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<int>("pos");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("output");
        QTest::addColumn<int>("outputPos");

        const int invalid = QValidator::Invalid;
        const int intermediate = QValidator::Intermediate;
        const int acceptable = QValidator::Acceptable;
        // clang-format off
        QTest::newRow("empty") << "" << 0 << intermediate << "" << 0;
        QTest::newRow("one digit") << "1" << 1 << intermediate << "1" << 1;
        QTest::newRow("empty middle group") << "1..2" << 4 << intermediate << "1..2" << 4;
        QTest::newRow("trailing dots, cursor clamped") << "10.." << 4 << intermediate << "10." << 3;
        QTest::newRow("many trailing dots") << "1...." << 2 << intermediate << "1." << 2;
        QTest::newRow("dot added, cursor at end") << "192" << 3 << intermediate << "192." << 4;
        QTest::newRow("dot added, cursor inside") << "192" << 1 << intermediate << "192." << 1;
        QTest::newRow("third group filled") << "1.2.345" << 7 << intermediate << "1.2.345." << 8;
        QTest::newRow("three groups and a dot") << "1.2.3." << 6 << intermediate << "1.2.3." << 6;
        QTest::newRow("complete") << "1.2.3.4" << 7 << acceptable << "1.2.3.4" << 7;
        QTest::newRow("highest") << "255.255.255.254" << 15 << acceptable << "255.255.255.254" << 15;
        QTest::newRow("lowest") << "0.0.0.1" << 7 << acceptable << "0.0.0.1" << 7;
        QTest::newRow("group above 255") << "300.1.1.1" << 9 << intermediate << "300.1.1.1" << 9;
        QTest::newRow("last group above 255") << "1.2.3.256" << 9 << intermediate << "1.2.3.256" << 9;
        QTest::newRow("leading zero") << "010.1.1.1" << 9 << intermediate << "010.1.1.1" << 9;
        QTest::newRow("leading zero, no octal digit") << "08.1.1.1" << 8 << intermediate << "08.1.1.1" << 8;
        QTest::newRow("double zero") << "1.2.3.00" << 8 << intermediate << "1.2.3.00" << 8;
        QTest::newRow("zeros everywhere") << "00.0.0.0" << 8 << intermediate << "00.0.0.0" << 8;
        QTest::newRow("other script digits") << "\u0661.2.3.4" << 7 << intermediate << "\u0661.2.3.4" << 7;
        QTest::newRow("0.0.0.0") << "0.0.0.0" << 7 << invalid << "0.0.0.0" << 7;
        QTest::newRow("broadcast") << "255.255.255.255" << 15 << invalid << "255.255.255.255" << 15;
        QTest::newRow("letters") << "abc" << 3 << invalid << "abc" << 3;
        QTest::newRow("blank") << " 1.2.3.4" << 8 << invalid << " 1.2.3.4" << 8;
        QTest::newRow("four digits") << "1234" << 4 << invalid << "1234" << 4;
        QTest::newRow("fifth group") << "1.2.3.4.5" << 9 << invalid << "1.2.3.4.5" << 9;
        QTest::newRow("dot after the fourth group") << "1.2.3.4." << 8 << invalid << "1.2.3.4." << 8;
        // clang-format on
    }

    void validate()
    {
        QFETCH(QString, input);
        QFETCH(int, pos);
        QFETCH(int, state);
        QFETCH(QString, output);
        QFETCH(int, outputPos);
        const IpAddressValidator validator;
        QCOMPARE(int(validator.validate(input, pos)), state);
        QCOMPARE(input, output);
        QCOMPARE(pos, outputPos);
    }

    void shrinkingTextGetsNoDot()
    {
        const IpAddressValidator validator;
        QString text = QStringLiteral("192.");
        int pos = 4;
        QCOMPARE(validator.validate(text, pos), QValidator::Intermediate);
        text = QStringLiteral("192");
        pos = 3;
        QCOMPARE(validator.validate(text, pos), QValidator::Intermediate);
        QCOMPARE(text, QStringLiteral("192"));
        QCOMPARE(pos, 3);
    }

    void programTextStaysButIsNotAcceptable()
    {
        IpAddressEdit edit;
        edit.setText(QStringLiteral("not an address"));
        QCOMPARE(edit.text(), QStringLiteral("not an address"));
        QVERIFY(!edit.hasAcceptableInput());
        edit.setText(QStringLiteral("10.1.2.3"));
        QVERIFY(edit.hasAcceptableInput());
    }

    // The widest address fits in the hinted width without scrolling.
    void sizeHintFitsTheWidestAddress()
    {
        IpAddressEdit edit;
        QFont font = edit.font();
        for (const int size : {8, 12, 20}) {
            font.setPointSize(size);
            edit.setFont(font);
            QStyleOptionFrame option;
            option.initFrom(&edit);
            option.lineWidth = edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &edit);
            const int textWidth = edit.fontMetrics().horizontalAdvance(QStringLiteral("255.255.255.255"));
            // QLineEdit keeps a margin of two pixels on each side of its text.
            const QSize needed = edit.style()->sizeFromContents(
                QStyle::CT_LineEdit, &option, QSize(textWidth + 4, edit.fontMetrics().height()), &edit);
            QVERIFY2(edit.sizeHint().width() >= needed.width(),
                     qPrintable(
                         QStringLiteral("%1 pt: %2 < %3").arg(size).arg(edit.sizeHint().width()).arg(needed.width())));
            QCOMPARE(edit.sizeHint().height(), edit.QLineEdit::sizeHint().height());
        }
    }

    // At its hinted width the editor shows the widest address whole, in the
    // style the dialogs give it (a style sheet on the dialog puts every
    // child under the style-sheet style, which frames line edits its own way).
    void widestAddressShowsWhole_data()
    {
        QTest::addColumn<QString>("styleSheet");
        QTest::newRow("plain") << QString();
        QTest::newRow("dialog with a style sheet") << QStringLiteral("QDialog { background: white; }");
        QTest::newRow("padded line edits") << QStringLiteral("QLineEdit { padding: 1px 4px; }");
    }

    void widestAddressShowsWhole()
    {
        QFETCH(QString, styleSheet);
        QWidget dialog;
        dialog.setStyleSheet(styleSheet);
        auto *edit = new IpAddressEdit(&dialog);
        edit->setText(QStringLiteral("255.255.255.254"));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QFont font = edit->font();
        for (const int size : {8, 9, 10, 12, 20}) {
            font.setPointSize(size);
            edit->setFont(font);
            edit->resize(edit->sizeHint());
            edit->setCursorPosition(0);
            const int start = cursorX(*edit);
            edit->setCursorPosition(edit->text().size());
            // Scrolled text would move the start out of view to show the end.
            QVERIFY2(cursorX(*edit) - start == edit->fontMetrics().horizontalAdvance(edit->text()),
                     qPrintable(QStringLiteral("%1 pt").arg(size)));
            edit->setCursorPosition(0);
            QCOMPARE(cursorX(*edit), start);
        }
    }
};

QTEST_MAIN(TestIpAddressEdit)
#include "tst_ipaddressedit.moc"
