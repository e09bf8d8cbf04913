// The pieces of the Jet reader that decide what is data and what is damage: the file header, text
// decoding and the reading of long values with their declared length.
#include "platform/TavelinError.h"
#include "jet/JetLongValue.h"
#include "jet/JetText.h"
#include "jet/TJetDatabase.h"

#include <QHash>
#include <QtEndian>
#include <QtTest>

namespace {

QByteArray header(quint32 word, quint32 firstRow)
{
    QByteArray h(JetLongValue::kHeaderSize, '\0');
    qToLittleEndian(word, h.data());
    qToLittleEndian(firstRow, h.data() + 4);
    return h;
}

// A chain part: the page/row of the next part, then the bytes.
QByteArray part(quint32 next, const QByteArray &bytes)
{
    QByteArray p(4, '\0');
    qToLittleEndian(next, p.data());
    return p + bytes;
}

QByteArray utf16le(const QString &s)
{
    QByteArray b;
    for (QChar c : s) {
        b.append(char(c.unicode() & 0xFF));
        b.append(char(c.unicode() >> 8));
    }
    return b;
}

} // namespace

class TestJetReader : public QObject {
    Q_OBJECT

private slots:
    void jet4Text_data();
    void jet4Text();
    void jet4TextDamaged_data();
    void jet4TextDamaged();
    void codePageText();
    void longValueRead_data();
    void longValueRead();
    void longValueDamage_data();
    void longValueDamage();
    void fileHeader_data();
    void fileHeader();
};

void TestJetReader::jet4Text_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("text");
    QTest::newRow("UTF-16 CJK") << utf16le(QStringLiteral("甘草")) << QStringLiteral("甘草");
    QTest::newRow("surrogate pair kept") << utf16le(QStringLiteral("𠀋草")) << QStringLiteral("𠀋草");
    QTest::newRow("compressed Latin") << QByteArray("\xFF\xFEGC 12", 7) << QStringLiteral("GC 12");
    QTest::newRow("compressed, switching to two-byte units and back")
        << QByteArray("\xFF\xFE" "A\x00\x18\x75\x49\x83\x00" "B", 10) << QStringLiteral("A甘草B");
    QTest::newRow("compressed Latin-1") << QByteArray("\xFF\xFE\xE9", 3) << QStringLiteral("é");
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("CRLF kept") << utf16le(QStringLiteral("a\r\nb")) << QStringLiteral("a\r\nb");
}

void TestJetReader::jet4Text()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, text);
    QCOMPARE(JetText::DecodeJet4(stored), text);
}

void TestJetReader::jet4TextDamaged_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("odd length") << QByteArray("\x18\x75\x49", 3);
    QTest::newRow("compressed, cut inside a two-byte unit") << QByteArray("\xFF\xFE" "A\x00\x18", 5);
}

void TestJetReader::jet4TextDamaged()
{
    QFETCH(QByteArray, stored);
    QVERIFY_THROWS_EXCEPTION(TavelinError, JetText::DecodeJet4(stored));
}

void TestJetReader::codePageText()
{
    // Jet 3 keeps the bytes of the writer's code page: GBK for a Chinese catalogue.
    QCOMPARE(JetText::DecodeCodePage(QByteArray("\xB8\xCA\xB2\xDD GC"), JetText::CharsetForCodePage(936)),
             QStringLiteral("甘草 GC"));
    QCOMPARE(JetText::DecodeCodePage(QByteArray("caf\xE9"), JetText::CharsetForCodePage(1252)), QStringLiteral("café"));
    QCOMPARE(JetText::DecodeCodePage(QByteArray(), "CP936"), QString());
    // A lead byte with nothing after it is damage, not a '?'.
    QVERIFY_THROWS_EXCEPTION(TavelinError, JetText::DecodeCodePage(QByteArray("\xB8\xCA\xB2"), "CP936"));
    QVERIFY_THROWS_EXCEPTION(TavelinError, JetText::DecodeCodePage(QByteArray("x"), "NO-SUCH-CHARSET"));
}

void TestJetReader::longValueRead_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QString>("pages"); // which fake page set the rows come from
    QTest::addColumn<QByteArray>("value");
    QTest::newRow("inline") << header(0x80000003u, 0) + "abc" << "none" << QByteArray("abc");
    QTest::newRow("inline, zero length") << header(0x80000000u, 0) << "none" << QByteArray("");
    QTest::newRow("one page") << header(0x40000005u, 0x0A01) << "single" << QByteArray("hello");
    QTest::newRow("chain of three") << header(9, 0x0B00) << "chain" << QByteArray("abcdefghi");
}

namespace {

QHash<quint32, QByteArray> fakePages(const QString &set)
{
    QHash<quint32, QByteArray> rows;
    if (set == QLatin1String("single")) {
        rows.insert(0x0A01, "hello");
    } else if (set == QLatin1String("chain")) {
        rows.insert(0x0B00, part(0x0C02, "abc"));
        rows.insert(0x0C02, part(0x0D00, "def"));
        rows.insert(0x0D00, part(0, "ghi"));
    } else if (set == QLatin1String("loop")) {
        rows.insert(0x0B00, part(0x0C02, ""));
        rows.insert(0x0C02, part(0x0B00, ""));
    }
    return rows;
}

JetLongValue::TRowReader readerOf(const QHash<quint32, QByteArray> &rows)
{
    return [rows](quint32 pageRow) {
        if (!rows.contains(pageRow))
            throw TavelinError(QStringLiteral("no such row"));
        return rows.value(pageRow);
    };
}

} // namespace

void TestJetReader::longValueRead()
{
    QFETCH(QByteArray, field);
    QFETCH(QString, pages);
    QFETCH(QByteArray, value);
    const QByteArray read = JetLongValue::Read(field.constData(), field.size(), 1 << 20, readerOf(fakePages(pages)));
    QCOMPARE(read, value);
    QVERIFY(!read.isNull());
    QCOMPARE(JetLongValue::ParseHeader(field.constData(), field.size()).length, quint32(value.size()));
}

void TestJetReader::longValueDamage_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QString>("pages");
    QTest::addColumn<QString>("message");
    QTest::newRow("header cut") << QByteArray(8, '\0') << "none" << "header";
    QTest::newRow("unknown kind") << header(0xC0000001u, 0) + "a" << "none" << "unknown kind";
    QTest::newRow("inline longer than declared") << header(0x80000002u, 0) + "abc" << "none" << "declares 2";
    QTest::newRow("one page shorter than declared") << header(0x40000009u, 0x0A01) << "single" << "declares 9";
    QTest::newRow("chain shorter than declared") << header(12, 0x0B00) << "chain" << "cut short: 9 of 12";
    QTest::newRow("chain longer than declared") << header(7, 0x0B00) << "chain" << "more than the 7 bytes";
    QTest::newRow("chain loops") << header(100, 0x0B00) << "loop" << "loop back";
    QTest::newRow("part missing") << header(9, 0x0B00) << "none" << "no such row";
    QTest::newRow("declares more than the file") << header(0x00200000u, 0x0B00) << "chain" << "more than the whole file";
}

void TestJetReader::longValueDamage()
{
    QFETCH(QByteArray, field);
    QFETCH(QString, pages);
    QFETCH(QString, message);
    try {
        JetLongValue::Read(field.constData(), field.size(), 1 << 20, readerOf(fakePages(pages)));
        QFAIL("damage was read as data");
    } catch (const TavelinError &e) {
        QVERIFY2(e.message().contains(message), qPrintable(e.message()));
    }
}

void TestJetReader::fileHeader_data()
{
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<qint64>("size");
    QTest::addColumn<int>("version"); // 0: refused
    QTest::addColumn<int>("pageSize");
    const QByteArray jet("\x00\x01\x00\x00Standard Jet DB\x00", 20);
    const QByteArray ace("\x00\x01\x00\x00Standard ACE DB\x00", 20);
    QTest::newRow("Jet 3") << jet + QByteArray("\x00", 1) << qint64(2048 * 10) << 3 << 2048;
    QTest::newRow("Jet 4") << jet + QByteArray("\x01", 1) << qint64(4096 * 10) << 4 << 4096;
    QTest::newRow("ACE") << ace + QByteArray("\x02", 1) << qint64(4096 * 10) << 5 << 4096;
    QTest::newRow("Jet 4 cut inside a page") << jet + QByteArray("\x01", 1) << qint64(4096 * 10 + 100) << 0 << 0;
    QTest::newRow("Jet 3 too small") << jet + QByteArray("\x00", 1) << qint64(2048) << 0 << 0;
    QTest::newRow("SQLite catalogue") << QByteArray("SQLite format 3\0", 16) + QByteArray(84, 'x') << qint64(4096) << 0 << 0;
    QTest::newRow("text") << QByteArray("Standard Jet DB but not really") << qint64(4096 * 4) << 0 << 0;
}

void TestJetReader::fileHeader()
{
    QFETCH(QByteArray, head);
    QFETCH(qint64, size);
    QFETCH(int, version);
    QFETCH(int, pageSize);
    if (version == 0) {
        QVERIFY_THROWS_EXCEPTION(TavelinError, TJetDatabase::InspectHeader(head, size));
        return;
    }
    const TJetFormat format = TJetDatabase::InspectHeader(head, size);
    QCOMPARE(format.jetVersion, version);
    QCOMPARE(format.pageSize, pageSize);
}

QTEST_GUILESS_MAIN(TestJetReader)
#include "test_jet_reader.moc"
