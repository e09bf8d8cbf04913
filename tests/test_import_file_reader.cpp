// The import's reader: every file in the list's order, each either with its exact bytes or marked
// unreadable, however far ahead it reads; and an import that stops early does not wait for files
// nobody will take. The hash worked out beside each file's reading is the file's, and the store
// uses such a hash only for the very bytes it was worked out for.
#include "data/TKnownPictureHashes.h"
#include "frames/TImportFileReader.h"
#include "picture/ContentHash.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class ImportFileReaderTest : public QObject {
    Q_OBJECT
private slots:
    void filesInOrderWithTheirBytes_data();
    void filesInOrderWithTheirBytes();
    void stoppingEarlyLeavesTheRestUnread();
    void aKnownHashServesOnlyTheBytesItWasWorkedOutFor_data();
    void aKnownHashServesOnlyTheBytesItWasWorkedOutFor();
};

namespace {

void write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

} // namespace

void ImportFileReaderTest::filesInOrderWithTheirBytes_data()
{
    QTest::addColumn<int>("ahead");
    QTest::newRow("one ahead") << 1;
    QTest::newRow("two ahead") << 2;
    QTest::newRow("more ahead than files") << 50;
}

void ImportFileReaderTest::filesInOrderWithTheirBytes()
{
    QFETCH(int, ahead);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // Pictures of different sizes, so a file handed out of order shows; among them files that
    // are not there or are not pictures.
    QStringList files;
    QList<QByteArray> expected; // a null array: unreadable
    for (int i = 0; i < 12; ++i) {
        const QString path = dir.filePath(QStringLiteral("f%1.jpg").arg(i));
        files << path;
        if (i % 4 == 1) {
            expected << QByteArray(); // never written: missing
        } else if (i % 4 == 3) {
            write(path, QByteArray("not a picture at all ") + QByteArray::number(i));
            expected << QByteArray();
        } else {
            const QByteArray jpeg = TestSupport::MakeJpeg(16 + i, 12 + i);
            write(path, jpeg);
            expected << jpeg;
        }
    }
    TImportFileReader reader(files, ahead);
    for (int i = 0; i < files.size(); ++i) {
        const TImportFileReader::TFile file = reader.Next();
        QCOMPARE(file.readable, !expected[i].isNull());
        if (file.readable) {
            QCOMPARE(file.bytes, expected[i]);
            QCOMPARE(file.hash, ContentHash::Of(expected[i]));
        }
    }
}

void ImportFileReaderTest::stoppingEarlyLeavesTheRestUnread()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray jpeg = TestSupport::MakeJpeg(20, 10);
    QStringList files;
    for (int i = 0; i < 40; ++i) {
        files << dir.filePath(QStringLiteral("f%1.jpg").arg(i));
        write(files.last(), jpeg);
    }
    {
        TImportFileReader reader(files, 1);
        QVERIFY(reader.Next().readable);
        // The import failed here: the reader is dropped with 39 files untaken; its destruction
        // must end its thread rather than wait for room that never comes.
    }
    {
        TImportFileReader untouched(files, 3);
    }
}

void ImportFileReaderTest::aKnownHashServesOnlyTheBytesItWasWorkedOutFor_data()
{
    // What reaches the store after a hash was remembered for `remembered`: the same bytes, or
    // other memory that merely holds the same content, or the remembered bytes changed on the way
    // (which copies them), or bytes remembered before another picture's.
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("usesKnown");
    QTest::newRow("the very bytes") << "same" << true;
    QTest::newRow("an equal copy elsewhere") << "copy" << false;
    QTest::newRow("changed after they were hashed") << "changed" << false;
    QTest::newRow("a prefix of them") << "prefix" << false;
    QTest::newRow("remembered before another") << "superseded" << false;
}

void ImportFileReaderTest::aKnownHashServesOnlyTheBytesItWasWorkedOutFor()
{
    QFETCH(QString, stored);
    QFETCH(bool, usesKnown);
    // A remembered value no real hash has, so its use shows.
    const quint64 known = ContentHash::Of(QByteArray("not these bytes"));
    TKnownPictureHashes hashes;
    QByteArray remembered = TestSupport::MakeJpeg(30, 20);
    hashes.Remember(remembered, known);
    QByteArray bytes = remembered;
    if (stored == "copy") {
        bytes = QByteArray(remembered.constData(), remembered.size());
    } else if (stored == "changed") {
        remembered[10] = char(remembered[10] ^ 0x55);
        bytes = remembered;
    } else if (stored == "prefix") {
        bytes = QByteArray::fromRawData(remembered.constData(), remembered.size() - 1);
    } else if (stored == "superseded") {
        hashes.Remember(TestSupport::MakeJpeg(8, 8), known);
    }
    QCOMPARE(hashes.HashOf(bytes), usesKnown ? known : ContentHash::Of(bytes));
    // Taken once: the same bytes stored a second time are hashed where they are stored.
    QCOMPARE(hashes.HashOf(bytes), ContentHash::Of(bytes));
}

QTEST_GUILESS_MAIN(ImportFileReaderTest)
#include "test_import_file_reader.moc"
