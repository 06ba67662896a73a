#include "app/DisplayPlatform.h"

#include <QtTest>

class TestDisplayPlatform : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { qunsetenv("QT_XCB_GL_INTEGRATION"); }

    void glIntegration_data()
    {
        QTest::addColumn<bool>("userSet");
        QTest::addColumn<QByteArray>("userValue");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("unset: switched off") << false << QByteArray() << QByteArray("none");
        QTest::newRow("user's integration kept") << true << QByteArray("xcb_egl") << QByteArray("xcb_egl");
        QTest::newRow("user's empty value kept") << true << QByteArray() << QByteArray();
    }

    void glIntegration()
    {
        QFETCH(bool, userSet);
        QFETCH(QByteArray, userValue);
        QFETCH(QByteArray, expected);
        if (userSet)
            qputenv("QT_XCB_GL_INTEGRATION", userValue);
        DisplayPlatform::useNoGlIntegration();
        QVERIFY(qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"));
        QCOMPARE(qgetenv("QT_XCB_GL_INTEGRATION"), expected);
    }
};

QTEST_APPLESS_MAIN(TestDisplayPlatform)
#include "tst_displayplatform.moc"
