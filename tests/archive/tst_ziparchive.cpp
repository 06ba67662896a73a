#include "catalogue/zip_archive.h"
#include "catalogue/zip_exception.h"

#include "ZipWriter.h"

#include <QRandomGenerator>
#include <QTest>

#include <functional>

namespace {

using Member = ZipWriter::Member;
using Patch = std::function<void(QByteArray &)>;

void putU16(QByteArray &data, int offset, quint16 value)
{
    data[offset] = char(value & 0xff);
    data[offset + 1] = char(value >> 8);
}

void putU32(QByteArray &data, int offset, quint32 value)
{
    putU16(data, offset, quint16(value & 0xffff));
    putU16(data, offset + 2, quint16(value >> 16));
}

int endRecord(const QByteArray &zip)
{
    return zip.lastIndexOf(QByteArray("PK\x05\x06", 4));
}

int centralDirectory(const QByteArray &zip)
{
    return zip.indexOf(QByteArray("PK\x01\x02", 4));
}

QByteArray pseudoRandom(int size)
{
    QByteArray bytes(size, '\0');
    QRandomGenerator generator(42);
    for (char &c : bytes)
        c = char(generator.bounded(256));
    return bytes;
}

QByteArray twoMembers()
{
    return ZipWriter::write({Member {"configs2.csv", "Country;City\nUSA;Dallas\n", ZipWriter::Deflated},
                             Member {"ca.crt", "stored bytes", ZipWriter::Stored}});
}

// Sets the sizes of the first member in both headers, as a consistent but lying archive would.
Patch announceSize(quint32 compressed, quint32 uncompressed)
{
    return [=](QByteArray &zip) {
        putU32(zip, centralDirectory(zip) + 20, compressed);
        putU32(zip, centralDirectory(zip) + 24, uncompressed);
    };
}

} // namespace

class TestZipArchive : public QObject
{
    Q_OBJECT

private slots:
    void readsStoredAndDeflatedMembers()
    {
        const zip_archive zip(twoMembers());
        QCOMPARE(int(zip.files.size()), 2);
        QCOMPARE(zip.files[0].name, QStringLiteral("configs2.csv"));
        QCOMPARE(zip.files[0].method, 8u);
        QCOMPARE(zip.get_file_data(zip.files[0]), QByteArray("Country;City\nUSA;Dallas\n"));
        QCOMPARE(zip.files[1].name, QStringLiteral("ca.crt"));
        QCOMPARE(zip.files[1].method, 0u);
        QCOMPARE(zip.get_file_data(zip.files[1]), QByteArray("stored bytes"));
    }

    void emptyArchiveHasNoMembers() { QVERIFY(zip_archive(ZipWriter::write({})).files.empty()); }

    // The archive comment may be as long as its 16-bit length allows, and
    // may hold anything, the end record's signature included.
    void endRecordFoundBehindComment_data()
    {
        QTest::addColumn<QByteArray>("comment");
        QByteArray fake("PK\x05\x06", 4);
        fake += QByteArray(18, '\0'); // no entries, no comment: the archive would look empty
        QTest::newRow("no comment") << QByteArray();
        QTest::newRow("short comment") << QByteArray(106, 'c');
        QTest::newRow("comment longer than 106 bytes") << QByteArray(107, 'c');
        QTest::newRow("longest comment") << QByteArray(65535, 'c');
        QTest::newRow("fake end record inside the comment") << QByteArray(40, 'c') + fake + QByteArray(40, 'c');
        QTest::newRow("fake end record ending the comment") << QByteArray(40, 'c') + fake + "!";
    }

    void endRecordFoundBehindComment()
    {
        QFETCH(QByteArray, comment);
        const zip_archive zip(ZipWriter::write({Member {"a", "x"}}, comment));
        QCOMPARE(int(zip.files.size()), 1);
        QCOMPARE(zip.get_file_data(zip.files[0]), QByteArray("x"));
    }

    void namesAreUtf8CutAtZero()
    {
        QByteArray zip = ZipWriter::write({Member {QString::fromUtf8("zürich.conf"), "x"}});
        QCOMPARE(zip_archive(zip).files[0].name, QString::fromUtf8("zürich.conf"));
        zip[centralDirectory(zip) + 46 + 1] = '\0';
        QCOMPARE(zip_archive(zip).files[0].name, QStringLiteral("z"));
    }

    void limitsAccepted_data()
    {
        QTest::addColumn<QByteArray>("zip");
        QList<Member> many;
        for (int i = 0; i < 1024; ++i)
            many.append(Member {QString::number(i), QByteArray(), ZipWriter::Stored});
        QTest::newRow("1024 members") << ZipWriter::write(many);
        QTest::newRow("member of 1 MiB") << ZipWriter::write({Member {"big", QByteArray(1048576, 'a')}});
        QTest::newRow("64-byte name") << ZipWriter::write({Member {QString(64, 'n'), "x"}});
        QTest::newRow("empty stored member") << ZipWriter::write({Member {"e", QByteArray(), ZipWriter::Stored}});
        QTest::newRow("empty deflated member") << ZipWriter::write({Member {"e", QByteArray(), ZipWriter::Deflated}});
        QTest::newRow("incompressible member") << ZipWriter::write({Member {"r", pseudoRandom(70000)}});
    }

    void limitsAccepted()
    {
        QFETCH(QByteArray, zip);
        const zip_archive archive(zip);
        for (const zip_file &file : archive.files)
            QCOMPARE(quint32(archive.get_file_data(file).size()), file.uncompressedSize);
    }

    // Faults found while reading the central directory.
    void refusedAtConstruction_data()
    {
        QTest::addColumn<QByteArray>("zip");
        const QByteArray good = twoMembers();

        QList<Member> many;
        for (int i = 0; i < 1025; ++i)
            many.append(Member {QString::number(i), QByteArray(), ZipWriter::Stored});
        QTest::newRow("1025 members") << ZipWriter::write(many);
        QTest::newRow("member over 1 MiB") << ZipWriter::write({Member {"big", QByteArray(1048577, 'a')}});
        QTest::newRow("65-byte name") << ZipWriter::write({Member {QString(65, 'n'), "x"}});
        QTest::newRow("end record beyond the longest comment")
            << ZipWriter::write({Member {"a", "x"}}, QByteArray(65535, 'c')) + "c";
        QTest::newRow("bytes after the comment") << ZipWriter::write({Member {"a", "x"}}, QByteArray(10, 'c')) + "junk";
        QTest::newRow("empty input") << QByteArray();
        QTest::newRow("shorter than an end record") << QByteArray("PK\x05\x06", 4) + QByteArray(10, '\0');
        QTest::newRow("end record cut short") << good.left(good.size() - 4);
        QTest::newRow("signature only at the very end") << QByteArray(40, '\0') + QByteArray("PK\x05\x06", 4);
        QTest::newRow("not a zip") << QByteArray(300, 'z');

        auto patched = [&](const char *name, const Patch &patch) {
            QByteArray zip = good;
            patch(zip);
            QTest::newRow(name) << zip;
        };
        patched("method 12", [](QByteArray &z) { putU16(z, centralDirectory(z) + 10, 12); });
        patched("central directory beyond the data",
                [](QByteArray &z) { putU32(z, endRecord(z) + 16, quint32(z.size() + 1)); });
        patched("central directory runs past the end",
                [](QByteArray &z) { putU32(z, endRecord(z) + 16, quint32(z.size() - 30)); });
        patched("more entries than the directory holds", [](QByteArray &z) { putU16(z, endRecord(z) + 10, 3); });
        patched("bad central signature", [](QByteArray &z) { z[centralDirectory(z) + 3] = 9; });
        patched("local header offset beyond the data",
                [](QByteArray &z) { putU32(z, centralDirectory(z) + 42, quint32(z.size() + 1)); });

        // A lone central header whose name would run past the end record.
        QByteArray nameOut(46, '\0');
        putU32(nameOut, 0, 0x02014b50);
        putU16(nameOut, 28, 64);
        nameOut += QByteArray("PK\x05\x06", 4) + QByteArray(18, '\0');
        putU16(nameOut, 46 + 10, 1);
        QTest::newRow("name runs past the end") << nameOut;
    }

    void refusedAtConstruction()
    {
        QFETCH(QByteArray, zip);
        QVERIFY_EXCEPTION_THROWN(zip_archive {zip}, zip_exception);
    }

    // Faults found only when a member is read.
    void refusedWhenRead_data()
    {
        QTest::addColumn<QByteArray>("zip");
        QTest::addColumn<int>("member");
        const QByteArray good = twoMembers();
        auto patched = [&](const char *name, int member, const Patch &patch) {
            QByteArray zip = good;
            patch(zip);
            QTest::newRow(name) << zip << member;
        };
        patched("stored sizes differ", 1, [](QByteArray &z) {
            const int second = z.indexOf(QByteArray("PK\x01\x02", 4), centralDirectory(z) + 4);
            putU32(z, second + 20, 11);
        });
        patched("bad local signature", 0, [](QByteArray &z) { z[2] = 9; });
        patched("corrupt deflate data", 0, [](QByteArray &z) {
            z[30 + 12] = char(0xff);
            z[30 + 13] = char(0xff);
        });
        patched("local header cut by the data end", 1, [](QByteArray &z) {
            const int second = z.indexOf(QByteArray("PK\x01\x02", 4), centralDirectory(z) + 4);
            putU32(z, second + 42, quint32(z.size() - 10));
        });
        patched("local extra length points past the end", 0, [](QByteArray &z) { putU16(z, 28, 0xffff); });
        patched("stored data past the end", 1, [](QByteArray &z) {
            const int second = z.indexOf(QByteArray("PK\x01\x02", 4), centralDirectory(z) + 4);
            putU32(z, second + 20, 1000000);
            putU32(z, second + 24, 1000000);
        });
        patched("deflated data past the end", 0, announceSize(1000000, 24));
        patched("deflated member with no data", 0, announceSize(0, 24));

        // Inflates to 24 bytes while 25 are announced: the stream ends early.
        QByteArray shorter = good;
        putU32(shorter, centralDirectory(shorter) + 24, 25);
        QTest::newRow("deflated member shorter than announced") << shorter << 0;
        // Inflates to 24 bytes while 23 are announced: output space runs out.
        QByteArray longer = good;
        putU32(longer, centralDirectory(longer) + 24, 23);
        QTest::newRow("deflated member longer than announced") << longer << 0;
    }

    void refusedWhenRead()
    {
        QFETCH(QByteArray, zip);
        QFETCH(int, member);
        const zip_archive archive(zip);
        QVERIFY_EXCEPTION_THROWN(archive.get_file_data(archive.files[size_t(member)]), zip_exception);
    }
};

QTEST_GUILESS_MAIN(TestZipArchive)
#include "tst_ziparchive.moc"
