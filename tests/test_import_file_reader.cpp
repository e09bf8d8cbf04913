// The import's reader: every file in the list's order, each either with its exact bytes or marked
// unreadable, however far ahead it reads; and an import that stops early does not wait for files
// nobody will take.
#include "frames/TImportFileReader.h"
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
        if (file.readable)
            QCOMPARE(file.bytes, expected[i]);
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

QTEST_GUILESS_MAIN(ImportFileReaderTest)
#include "test_import_file_reader.moc"
