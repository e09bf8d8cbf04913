// tavelin-catalog verify: every filled slot is decoded (transform reversed where the atlas stores
// it so), one line per unreadable slot, exit 0 / 1 / 2.
#include "data/PictureTransform.h"
#include "picture/JpegEncoder.h"
#include "platform/TMemoryStream.h"
#include "support/JpegSurgery.h"
#include "support/ProgramRun.h"
#include "support/TestSupport.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct ToolResult {
    int code;
    QStringList lines;
    QString err;
};

ToolResult verify(const QStringList &args)
{
    const TestSupport::TProgramRun run = TestSupport::RunCatalogTool(QStringList{QStringLiteral("verify")} + args);
    return {run.code, run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts), run.err};
}

QByteArray transformed(const QByteArray &plain)
{
    TMemoryStream s;
    s.Write(plain);
    EncodePictureStream(s);
    return s.Bytes();
}

QByteArray greyJpeg()
{
    QImage img(50, 40, QImage::Format_Grayscale8);
    img.fill(128);
    TJpegEncodeOptions o;
    o.grayscale = true;
    return EncodeJpeg(img, o);
}

} // namespace

class TestCatalogVerify : public QObject {
    Q_OBJECT

private slots:
    void oneSlot_data();
    void oneSlot();
    void reportsEveryUnreadableSlotInOrder();
    void badUsage_data();
    void badUsage();
};

void TestCatalogVerify::oneSlot_data()
{
    QTest::addColumn<QString>("atlas");
    QTest::addColumn<QByteArray>("stored"); // exactly as it lies in the slot
    QTest::addColumn<QString>("reason");    // empty: the slot is readable
    const QByteArray jpeg = TestSupport::MakeJpeg(120, 90);
    const QByteArray truncated = JpegSurgery::CutAt(jpeg, jpeg.size() * 2 / 3);

    QTest::newRow("good picture, built-in atlas") << "ZY" << transformed(jpeg) << "";
    QTest::newRow("good grey picture, built-in atlas") << "XYLC" << transformed(greyJpeg()) << "";
    QTest::newRow("good picture, miscellaneous atlas") << "ZXTP" << jpeg << "";
    QTest::newRow("plain JPEG bytes in a built-in atlas") << "ZYZJ" << jpeg << "not a readable JPEG";
    QTest::newRow("transformed bytes in the miscellaneous atlas") << "ZXTP" << transformed(jpeg) << "not a readable JPEG";
    QTest::newRow("not a JPEG in the miscellaneous atlas") << "ZXTP" << QByteArray("GIF89a....") << "not a readable JPEG";
    QTest::newRow("truncated, built-in atlas") << "XYJP" << transformed(truncated) << "damaged";
    QTest::newRow("truncated, miscellaneous atlas") << "ZXTP" << truncated << "damaged";
    QTest::newRow("decoding fails after the header")
        << "ZXTP" << JpegSurgery::WithoutQuantTable0(jpeg) << "cannot be decoded";
}

void TestCatalogVerify::oneSlot()
{
    QFETCH(QString, atlas);
    QFETCH(QByteArray, stored);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("c.mdb"));
    TestSupport::MakeCatalogue(db);
    // A good neighbour in the same atlas, and the slot under test in slot 2 of the next entry.
    TestSupport::AddEntry(db, atlas, QStringLiteral("good"), QStringLiteral("g"), {TestSupport::MakeJpeg(40, 30)});
    const int sn = TestSupport::AddEntry(db, atlas, QStringLiteral("under test"), QStringLiteral("t"),
                                         {std::nullopt, TestSupport::MakeJpeg(40, 30)});
    TestSupport::SetRawSlot(db, atlas, sn, 2, stored);

    const ToolResult r = verify({db});
    if (reason.isEmpty()) {
        QCOMPARE(r.code, 0);
        QVERIFY2(r.lines.isEmpty(), qPrintable(r.lines.join(QLatin1Char('\n'))));
        return;
    }
    QCOMPARE(r.code, 1);
    QCOMPARE(r.lines.size(), 1);
    const QString prefix = QStringLiteral("%1 %2 2: ").arg(atlas).arg(sn);
    QVERIFY2(r.lines[0].startsWith(prefix), qPrintable(r.lines[0]));
    QVERIFY2(r.lines[0].contains(reason), qPrintable(r.lines[0]));
    QVERIFY2(r.err.contains(QLatin1String("1 of 2 pictures unreadable")), qPrintable(r.err));
}

void TestCatalogVerify::reportsEveryUnreadableSlotInOrder()
{
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("c.mdb"));
    TestSupport::MakeCatalogue(db);
    const QByteArray jpeg = TestSupport::MakeJpeg(64, 48);
    const QByteArray notJpeg("plain text, not a picture");
    // All seven herb slots, two of them bad; empty slots are not pictures and are not reported.
    const int zy = TestSupport::AddEntry(db, QStringLiteral("ZY"), QStringLiteral("甘草"), QString(),
                                         {jpeg, jpeg, notJpeg, std::nullopt, jpeg, jpeg, JpegSurgery::CutAt(jpeg, 400)});
    const int zyzj = TestSupport::AddEntry(db, QStringLiteral("ZYZJ"), QStringLiteral("a"), QString(), {jpeg});
    TestSupport::SetRawSlot(db, QStringLiteral("ZYZJ"), zyzj, 4, jpeg); // plain bytes where transformed belong
    const int zxtp1 = TestSupport::AddEntry(db, QStringLiteral("ZXTP"), QStringLiteral("b"), QString(), {jpeg});
    const int zxtp2 = TestSupport::AddEntry(db, QStringLiteral("ZXTP"), QStringLiteral("c"), QString(), {notJpeg});

    const ToolResult r = verify({db});
    QCOMPARE(r.code, 1);
    QStringList heads;
    for (const QString &line : r.lines)
        heads << line.section(QLatin1Char(':'), 0, 0);
    QCOMPARE(heads, (QStringList{QStringLiteral("ZY %1 3").arg(zy), QStringLiteral("ZY %1 7").arg(zy),
                                 QStringLiteral("ZYZJ %1 4").arg(zyzj), QStringLiteral("ZXTP %1 1").arg(zxtp2)}));
    Q_UNUSED(zxtp1);
    QVERIFY2(r.err.contains(QLatin1String("4 of 10 pictures unreadable")), qPrintable(r.err));
}

void TestCatalogVerify::badUsage_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("no path") << QStringList();
    QTest::newRow("two paths") << QStringList{QStringLiteral("a"), QStringLiteral("b")};
    QTest::newRow("missing file") << QStringList{QStringLiteral("/nonexistent/dir/none.mdb")};
}

void TestCatalogVerify::badUsage()
{
    QFETCH(QStringList, args);
    const ToolResult r = verify(args);
    QCOMPARE(r.code, 2);
    QVERIFY(r.lines.isEmpty());
    QVERIFY(!r.err.isEmpty());
}

QTEST_MAIN(TestCatalogVerify)
#include "test_catalog_verify.moc"
