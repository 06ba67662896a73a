#include "helper/SetDockIconVisibility.h"

#include <PropertyList.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using platform::PlistValue;
using platform::PropertyList;
using stelvane::SetDockIconVisibility;

namespace {

const char INFO_PLIST[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
    "<plist version=\"1.0\">\n"
    "<dict>\n"
    "\t<key>CFBundleExecutable</key>\n"
    "\t<string>OrvalVPN</string>\n"
    "\t<!-- a comment -->\n"
    "\t<key>Name &amp; more</key>\n"
    "\t<string>a &lt;b&gt; &#233;</string>\n"
    "\t<key>Count</key>\n"
    "\t<integer>3</integer>\n"
    "\t<key>Flags</key>\n"
    "\t<array>\n"
    "\t\t<true/>\n"
    "\t\t<false/>\n"
    "\t\t<real>1.5</real>\n"
    "\t</array>\n"
    "\t<key>Empty</key>\n"
    "\t<dict/>\n"
    "\t<key>Blank</key>\n"
    "\t<string/>\n"
    "</dict>\n"
    "</plist>\n";

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

} // namespace

class TestPropertyList : public QObject
{
    Q_OBJECT

private slots:
    void parsesAndWritesBackTheSameList()
    {
        PlistValue root;
        PropertyList::Error error;
        QVERIFY(PropertyList::parse(INFO_PLIST, root, error));
        QVERIFY(root.isDictionary());
        QCOMPARE(root.value("Name & more")->text(), std::string("a <b> \xc3\xa9"));
        QCOMPARE(root.value("Count")->type(), PlistValue::Type::Integer);
        QCOMPARE(root.value("Flags")->items().size(), size_t(3));
        QCOMPARE(root.value("Blank")->text(), std::string());
        const std::string written = PropertyList::serialize(root);
        PlistValue again;
        QVERIFY(PropertyList::parse(written, again, error));
        QCOMPARE(PropertyList::serialize(again), written);
        QVERIFY(written.find("<string>a &lt;b&gt; \xc3\xa9</string>") != std::string::npos);
        QVERIFY(written.find("\t<key>Empty</key>\n\t<dict/>\n") != std::string::npos);
    }

    void refusesMalformedLists_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("not a plist") << QByteArray("<html></html>");
        QTest::newRow("unclosed dict") << QByteArray("<plist><dict><key>a</key><string>b</string></plist>");
        QTest::newRow("value without key") << QByteArray("<plist><dict><string>b</string></dict></plist>");
        QTest::newRow("duplicate key") << QByteArray(
            "<plist><dict><key>a</key><true/><key>a</key><false/></dict></plist>");
        QTest::newRow("unknown entity") << QByteArray("<plist><string>&bogus;</string></plist>");
        QTest::newRow("trailing text") << QByteArray("<plist><true/></plist>junk");
        QTest::newRow("deep nesting") << QByteArray("<plist>") + QByteArray("<array>").repeated(200)
                                             + QByteArray("</array>").repeated(200) + QByteArray("</plist>");
    }

    void refusesMalformedLists()
    {
        QFETCH(QByteArray, xml);
        PlistValue root;
        PropertyList::Error error;
        QVERIFY(!PropertyList::parse(xml.toStdString(), root, error));
        QVERIFY(!error.failureReason.empty());
        QVERIFY(!error.recoverySuggestion.empty());
    }

    void dockIconFlag_data()
    {
        QTest::addColumn<bool>("visible");
        QTest::addColumn<QString>("value");
        QTest::newRow("visible") << true << "0";
        QTest::newRow("hidden") << false << "1";
    }

    // The list is replaced whole, keeps every other key, its owner and mode.
    void dockIconFlag()
    {
        QFETCH(bool, visible);
        QFETCH(QString, value);
        QTemporaryDir dir;
        const QString path = dir.path() + "/Info.plist";
        QVERIFY(writeAll(path, INFO_PLIST));
        QVERIFY(chmod(QFile::encodeName(path).constData(), 0640) == 0);
        struct stat before
        {};
        QVERIFY(stat(QFile::encodeName(path).constData(), &before) == 0);
        QCOMPARE(SetDockIconVisibility::updatePropertyList(path.toStdString(), visible), 0);
        PlistValue root;
        PropertyList::Error error;
        QVERIFY(PropertyList::parse(readAll(path).toStdString(), root, error));
        QCOMPARE(QString::fromStdString(root.value("LSUIElement")->text()), value);
        QCOMPARE(root.value("LSUIElement")->type(), PlistValue::Type::String);
        QCOMPARE(root.value("CFBundleExecutable")->text(), std::string("OrvalVPN"));
        QCOMPARE(root.entries().size(), size_t(7));
        struct stat after
        {};
        QVERIFY(stat(QFile::encodeName(path).constData(), &after) == 0);
        QCOMPARE(after.st_mode, before.st_mode);
        QCOMPARE(after.st_uid, before.st_uid);
        QCOMPARE(after.st_gid, before.st_gid);
        QVERIFY(after.st_ino != before.st_ino);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }

    void dockIconFlagLeavesBadListsAlone_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("array at the top") << QByteArray("<plist><array><string>x</string></array></plist>");
        QTest::newRow("not a property list") << QByteArray("garbage");
    }

    void dockIconFlagLeavesBadListsAlone()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString path = dir.path() + "/Info.plist";
        QVERIFY(writeAll(path, content));
        QCOMPARE(SetDockIconVisibility::updatePropertyList(path.toStdString(), true), -1);
        QCOMPARE(readAll(path), content);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }

    void dockIconFlagRefusesMissingAndLinkedLists()
    {
        QTemporaryDir dir;
        QCOMPARE(SetDockIconVisibility::updatePropertyList((dir.path() + "/Info.plist").toStdString(), true), -1);
        QVERIFY(writeAll(dir.path() + "/target.plist", INFO_PLIST));
        QVERIFY(QFile::link(dir.path() + "/target.plist", dir.path() + "/Info.plist"));
        QCOMPARE(SetDockIconVisibility::updatePropertyList((dir.path() + "/Info.plist").toStdString(), true), -1);
        QCOMPARE(readAll(dir.path() + "/target.plist"), QByteArray(INFO_PLIST));
    }
};

QTEST_GUILESS_MAIN(TestPropertyList)
#include "tst_propertylist.moc"
