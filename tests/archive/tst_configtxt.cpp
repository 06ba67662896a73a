#include "catalogue/CanNotParseConfigTxtException.h"
#include "catalogue/ConfigTxt.h"

#include <QSettings>
#include <QTest>

class TestConfigTxt : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName(QStringLiteral("OrvalVPN-test"));
        QCoreApplication::setApplicationName(QStringLiteral("tst_configtxt"));
    }

    void init() { QSettings().clear(); }

    void parsesTheThreeFields_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("md5");
        QTest::addColumn<QString>("url");
        QTest::newRow("typical") << QByteArray(
            "12*0123456789abcdef0123456789abcdef*https://update.orvalvpn.example/Config/config.zip")
                                 << 12 << "0123456789abcdef0123456789abcdef"
                                 << "https://update.orvalvpn.example/Config/config.zip";
        QTest::newRow("empty checksum") << QByteArray("3**https://a.example/c.zip") << 3 << ""
                                        << "https://a.example/c.zip";
        QTest::newRow("negative version") << QByteArray("-1*x*https://a.example/c.zip") << -1 << "x"
                                          << "https://a.example/c.zip";
    }

    void parsesTheThreeFields()
    {
        QFETCH(QByteArray, text);
        ConfigTxt txt(text);
        txt.execute();
        QTEST(txt.getVersion(), "version");
        QTEST(txt.getMd5sum(), "md5");
        QTEST(txt.getUrlOfConfigZip().toString(), "url");
    }

    void refusesMalformedText_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("two fields") << QByteArray("12*abc") << "config.txt must have exactly 3 fields";
        QTest::newRow("asterisk in the address")
            << QByteArray("12*abc*https://a.example/x*y") << "config.txt must have exactly 3 fields";
        QTest::newRow("empty text") << QByteArray() << "config.txt must have exactly 3 fields";
        QTest::newRow("letter before the digits")
            << QByteArray("v12*abc*https://a.example/c.zip") << "Invalid version: v12";
        QTest::newRow("empty version") << QByteArray("*abc*https://a.example/c.zip") << "Invalid version: ";
        QTest::newRow("beyond 32 bits") << QByteArray("4294967296*abc*https://a.example/c.zip")
                                        << "Invalid version: 4294967296";
        QTest::newRow("invalid address") << QByteArray("12*abc*http://[::1")
                                         << "Invalid URL to config.zip: http://[::1";
    }

    void refusesMalformedText()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, message);
        ConfigTxt txt(text);
        try {
            txt.execute();
            QFAIL("no exception");
        } catch (const CanNotParseConfigTxtException &e) {
            QCOMPARE(e.getMessage(), message);
            QCOMPARE(QString::fromUtf8(e.what()), message);
        }
    }

    void newVersionAgainstInstalled_data()
    {
        QTest::addColumn<QVariant>("installed");
        QTest::addColumn<int>("version");
        QTest::addColumn<bool>("isNew");
        QTest::newRow("older installed") << QVariant(11) << 12 << true;
        QTest::newRow("same installed") << QVariant(12) << 12 << false;
        QTest::newRow("newer installed") << QVariant(13) << 12 << false;
        QTest::newRow("nothing installed, version 1") << QVariant() << 1 << true;
        QTest::newRow("nothing installed, version 0") << QVariant() << 0 << false;
        QTest::newRow("stored version not a number") << QVariant("twelve") << 12 << true;
    }

    void newVersionAgainstInstalled()
    {
        QFETCH(QVariant, installed);
        QFETCH(int, version);
        if (installed.isValid())
            QSettings().setValue(QStringLiteral("config/version"), installed);
        ConfigTxt txt(QByteArray::number(version) + "*abc*https://a.example/c.zip");
        txt.execute();
        QTEST(txt.isNewVersion(), "isNew");
    }
};

QTEST_GUILESS_MAIN(TestConfigTxt)
#include "tst_configtxt.moc"
