// Hostile pictures and catalogue files: each named case either fails with an error that says
// what is wrong, or is shown with the affected parts empty; none crashes, hangs or changes the
// file. The fuzz corpora and every file kept in tests/fixtures/bad/ are replayed here, so a
// crash the fuzzer once found stays fixed in the normal test run.
#include "data/CatalogSchema.h"
#include "data/sqlite/SqliteStatementBudget.h"
#include "data/TCatalogConnection.h"
#include "data/TCatalogQuery.h"
#include "data/UDataLibModule.h"
#include "frames/UFrame_ZY.h"
#include "picture/JpegEncoder.h"
#include "picture/JpegDecoder.h"
#include "picture/TDecodeMemory.h"
#include "picture/TJPEGImage.h"
#include "widgets/TImage.h"
#include "picture/TPicture.h"
#include "platform/TMemoryStream.h"
#include "platform/ErrorReport.h"
#include "platform/TavelinError.h"
#include "support/CatalogueSurgery.h"
#include "support/FuzzHarness.h"
#include "support/JpegSurgery.h"
#include "support/ProgramRun.h"
#include "support/SqliteShell.h"
#include "support/TestProgram.h"
#include "support/TestSupport.h"
#include "viewer/UGLOPictureViewDlg.h"

#include <QCryptographicHash>
#include <QDir>
#include <QBuffer>
#include <QComboBox>
#include <QPushButton>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QScopeGuard>
#include <QTest>

#include <cmath>
#include <functional>

// What a fuzz harness finds in an input (empty: the promises held).
using THarness = QString (*)(const QByteArray &);
Q_DECLARE_METATYPE(THarness)
// Writes a catalogue fixture at the path it is given; returns what failed, empty on success.
using TMakeFile = std::function<QString(const QString &)>;
Q_DECLARE_METATYPE(TMakeFile)

namespace {

QString sourceDir()
{
    return QString::fromUtf8(TAVELIN_SOURCE_DIR);
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QByteArray sha256(const QString &path)
{
    return QCryptographicHash::hash(readAll(path), QCryptographicHash::Sha256).toHex();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// A picture file named .jpg in a folder of its own, and its digest as written: opening it must
// never change it.
struct TPictureFile {
    explicit TPictureFile(const QByteArray &bytes)
        : path(dir.filePath(QStringLiteral("picture.jpg"))), written(writeFile(path, bytes)), digest(sha256(path))
    {
    }
    bool Unchanged() const { return sha256(path) == digest; }

    QTemporaryDir dir;
    QString path;
    bool written;
    QByteArray digest;
};

// A small PNG of one colour: a picture of another kind, named .jpg by the tests.
QByteArray pngPicture(Qt::GlobalColor colour)
{
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

// The picture as a progressive JPEG whose last scan is repeated 3000 times.
QByteArray withManyScans(const QByteArray &jpeg)
{
    TJpegEncodeOptions progressive;
    progressive.progressive = true;
    return JpegSurgery::WithRepeatedLastScan(EncodeJpeg(QImage::fromData(jpeg), progressive), 3000);
}

QString execSql(const QString &path, const QString &sql)
{
    return SqliteShell::Run(path, sql);
}

// The herb atlas replaced by a view that counts without end and sorts what it counts: reading
// it would never finish, and its sort would fill the disk with temporary files.
QString endlessView()
{
    return QStringLiteral(
        "PRAGMA journal_mode=DELETE; DROP TABLE KVR_ZYPicture; CREATE VIEW KVR_ZYPicture AS WITH RECURSIVE "
        "n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n) SELECT i AS RecordSN, hex(randomblob(64)) AS DrugName, "
        "'' AS OtherName, NULL AS pic1, NULL AS pic2, NULL AS pic3, NULL AS pic4, NULL AS pic5, NULL AS pic6, "
        "NULL AS pic7 FROM n ORDER BY DrugName");
}

// A catalogue with one entry in the herb atlas and one in the miscellaneous atlas.
void makeFilledCatalogue(const QString &path)
{
    TestSupport::MakeCatalogue(path);
    TestSupport::AddEntry(path, "ZY", QStringLiteral("甘草"), "GC",
                          {TestSupport::MakeJpeg(80, 60), std::nullopt, TestSupport::MakeJpeg(40, 30)});
    TestSupport::AddEntry(path, "ZXTP", QStringLiteral("photo.jpg"), QStringLiteral("类别"), {TestSupport::MakeJpeg(64, 48)});
}

// Everything a browser does with a catalogue file: open it, then list, read and show the first
// entry of every atlas. Returns the errors met, one per failed step, in order.
QStringList browseEverything(const QString &path)
{
    QStringList errors;
    TCatalogConnection connection;
    connection.SetConnectionString(TCatalogConnection::ConnectionStringForFile(path));
    try {
        connection.SetConnected(true);
    } catch (const TavelinError &e) {
        return {e.message()};
    }
    for (const TAtlasDef &atlas : CatalogSchema::Atlases()) {
        TCatalogQuery list;
        TestSupport::PrepareQuery(list, connection, {atlas.listSql});
        try {
            list.Open();
        } catch (const TavelinError &e) {
            errors << e.message();
            continue;
        }
        if (list.IsEmpty())
            continue;
        TCatalogQuery pictures;
        TestSupport::PrepareQuery(pictures, connection, {atlas.pictureSql});
        pictures.SetParameter(QStringLiteral("SQLRecordSN"), list.FieldAsInteger(QStringLiteral("RecordSN")));
        try {
            pictures.Open();
        } catch (const TavelinError &e) {
            errors << e.message();
            continue;
        }
        for (int k = 1; k <= atlas.slotCount && !pictures.IsEmpty(); ++k) {
            TMemoryStream stream;
            try {
                pictures.PictureToStream(CatalogSchema::SlotColumn(k), stream);
                stream.SetPosition(0);
                if (stream.Size() > 0) {
                    TJPEGImage jpeg;
                    jpeg.LoadFromStream(stream);
                    jpeg.SetScale(TJPEGScale::jsEighth);
                    jpeg.Image();
                }
            } catch (const TavelinError &e) {
                errors << e.message();
            }
        }
    }
    return errors;
}

// Shows the herb frame of a started program and displays the current entry's pictures; false when
// the frame never appeared.
bool showHerbPictures(Tm_Frame_ZY &frame)
{
    if (!TestSupport::TestProgram::showFrame(frame, QSize(800, 600)))
        return false;
    frame.findChild<QPushButton *>(QStringLiteral("m_Button_DisplayPic"))->click();
    return true;
}

} // namespace

class TestHostileInput : public QObject {
    Q_OBJECT
private slots:
    void replayedInputsKeepThePromises_data();
    void replayedInputsKeepThePromises();

    void pictureFilesNamedJpg_data();
    void pictureFilesNamedJpg();
    void viewerOpensHostilePictureFiles_data();
    void viewerOpensHostilePictureFiles();
    void herbFrameShowsHostileSlotsAsEmptyCells();
    void stripOfSevenHostilePicturesKeepsOnlyItsCells_data();
    void stripOfSevenHostilePicturesKeepsOnlyItsCells();

    void openingAndBrowsingNeverChangesTheFile_data();
    void openingAndBrowsingNeverChangesTheFile();
    void catalogueHeldByAnotherWriterBrowsesButRefusesChanges();
    void catalogueLockedExclusivelyFailsNamingTheLock();
    void pictureClaimingMoreThanTheFileIsADamagedSlot();
    void atlasThatIsAViewIsRefusedAndVerifyEnds();
    void runawayStatementsEndWithinTheirBudget_data();
    void runawayStatementsEndWithinTheirBudget();
    void readOnlyCatalogueLeftUnfinishedShowsTheCommittedState_data();
    void readOnlyCatalogueLeftUnfinishedShowsTheCommittedState();
    void refusedAddLeavesTheJournalModeAlone();
};

// ---- Replayed fuzz inputs

void TestHostileInput::replayedInputsKeepThePromises_data()
{
    QTest::addColumn<THarness>("harness");
    QTest::addColumn<QString>("path");
    // Each corpus folder holds the inputs of one harness.
    const QList<QPair<QString, THarness>> harnesses = {{QStringLiteral("jpeg"), &FuzzHarness::JpegPicture},
                                                       {QStringLiteral("slot"), &FuzzHarness::PictureSlot},
                                                       {QStringLiteral("catalogue"), &FuzzHarness::CatalogueFile},
                                                       {QStringLiteral("input_value"), &FuzzHarness::InputValue}};
    int rows = 0;
    for (const QString &root : {QStringLiteral("/tests/fuzz/corpus"), QStringLiteral("/tests/fixtures/bad")}) {
        for (const auto &[kind, harness] : harnesses) {
            QDirIterator it(sourceDir() + root + QLatin1Char('/') + kind, QDir::Files);
            while (it.hasNext()) {
                const QString path = it.next();
                const QString name = root.section(QLatin1Char('/'), -1) + QLatin1Char('/') + kind + QLatin1Char('/')
                                     + QFileInfo(path).fileName();
                QTest::newRow(qPrintable(name)) << harness << path;
                ++rows;
            }
        }
    }
    QVERIFY2(rows > 0, "no corpus found under the source tree");
}

void TestHostileInput::replayedInputsKeepThePromises()
{
    QFETCH(THarness, harness);
    QFETCH(QString, path);
    const QString finding = harness(readAll(path));
    QVERIFY2(finding.isEmpty(), qPrintable(finding));
}

// ---- Picture files

void TestHostileInput::pictureFilesNamedJpg_data()
{
    // message: what the failed load must say (empty: it loads). decoded: the size a damaged
    // picture still decodes at, with a damage note (invalid: it loads as no picture).
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QSize>("decoded");
    const QByteArray jpeg = TestSupport::MakeJpeg(120, 90);
    const QString unreadable = QStringLiteral("not a readable JPEG");
    QTest::newRow("zero bytes") << QByteArray() << QString() << QSize();
    QTest::newRow("a PNG named .jpg") << pngPicture(Qt::red) << unreadable << QSize();
    QTest::newRow("cut at the header") << JpegSurgery::CutAt(jpeg, JpegSurgery::FindFrame(jpeg) + 6) << unreadable
                                       << QSize();
    QTest::newRow("cut in the middle") << JpegSurgery::CutAt(jpeg, jpeg.size() / 2) << QString() << QSize(120, 90);
    QTest::newRow("cut at the end (no EOI)") << JpegSurgery::CutAt(jpeg, jpeg.size() - 2) << QString() << QSize(120, 90);
}

void TestHostileInput::pictureFilesNamedJpg()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    QFETCH(QSize, decoded);
    const TPictureFile file(bytes);
    QVERIFY(file.written);

    TPicture picture;
    QString error;
    try {
        picture.LoadFromFile(file.path);
    } catch (const TavelinError &e) {
        error = e.message();
    }
    QVERIFY(file.Unchanged());
    QVERIFY2(message.isEmpty() ? error.isEmpty() : error.contains(message), qPrintable(error));
    QCOMPARE(picture.IsEmpty(), !decoded.isValid());
    if (picture.IsEmpty())
        return;
    auto *jpeg = dynamic_cast<TJPEGImage *>(picture.Graphic());
    QVERIFY(jpeg);
    QCOMPARE(jpeg->Image().size(), decoded);
    QVERIFY2(!jpeg->DecodeWarning().isEmpty(), "the damage went unnoticed");
}

void TestHostileInput::viewerOpensHostilePictureFiles_data()
{
    // shown: whether the viewer holds a picture afterwards (an undecodable one shows as an empty area).
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("shown");
    const QByteArray jpeg = TestSupport::MakeJpeg(96, 64);
    const QByteArray png = pngPicture(Qt::blue);
    const QByteArray scans = withManyScans(jpeg);
    QTest::newRow("zero bytes") << QByteArray() << false;
    QTest::newRow("a PNG named .jpg") << png << false;
    QTest::newRow("cut at the header") << JpegSurgery::CutAt(jpeg, JpegSurgery::FindFrame(jpeg) + 6) << false;
    QTest::newRow("cut in the middle") << JpegSurgery::CutAt(jpeg, jpeg.size() / 2) << true;
    QTest::newRow("header claiming 65500 x 65500") << JpegSurgery::WithForgedSize(jpeg, 65500, 65500) << true;
    QTest::newRow("progressive with 3000 scans") << scans << true;
    for (const char *name : {"progressive-16384x16383-memory-beyond-the-bound-at-full-size",
                             "arithmetic-progressive-16384x16383-slow-scans"})
        QTest::newRow(name) << readAll(sourceDir() + QStringLiteral("/tests/fixtures/bad/jpeg/") + QLatin1String(name))
                            << true;
}

void TestHostileInput::viewerOpensHostilePictureFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, shown);
    const TPictureFile file(bytes);
    QVERIFY(file.written);
    QStringList reports;
    SetStandardErrorSink([&](const QString &m) { reports << m; });

    Tm_GLOPictureViewDlg viewer;
    viewer.show();
    QVERIFY(QTest::qWaitForWindowExposed(&viewer));
    viewer.LoadPictureFile(file.path); // no message: the viewer says nothing about a bad file
    auto *image = viewer.findChild<TImage *>(QStringLiteral("m_Image"));
    QVERIFY(image);
    QCOMPARE(!image->Picture().IsEmpty(), shown);
    // Painting and every scale, as a user would try them: never a crash, a hang or a message.
    viewer.grab();
    auto *scale = viewer.findChild<QComboBox *>(QStringLiteral("Scale"));
    for (int i = scale->count() - 1; i >= 0; --i) {
        scale->setCurrentIndex(i);
        viewer.grab();
    }
    SetStandardErrorSink(nullptr);
    QVERIFY2(reports.isEmpty(), qPrintable(reports.join(QLatin1Char('\n'))));
    QVERIFY(file.Unchanged());
}

void TestHostileInput::herbFrameShowsHostileSlotsAsEmptyCells()
{
    // Seven slots of one herb entry, each hostile in its own way. A slot whose header reads gets
    // a cell picture (drawn as far as its data goes); the others leave their cell empty. Showing
    // them, enlarging each into the preview and painting everything reports nothing.
    const QByteArray jpeg = TestSupport::MakeJpeg(96, 64);
    const QByteArray png = pngPicture(Qt::green);
    const QList<std::optional<QByteArray>> slotBytes = {
        jpeg,
        png,
        JpegSurgery::CutAt(jpeg, JpegSurgery::FindFrame(jpeg) + 6),
        JpegSurgery::WithForgedSize(jpeg, 65500, 65500),
        withManyScans(jpeg),
        JpegSurgery::CutAt(jpeg, jpeg.size() / 2),
        QByteArray(),
    };
    const QList<bool> filled = {true, false, false, true, true, true, false};

    TestSupport::TestProgram program;
    TestSupport::AddEntry(program.path, "ZY", QStringLiteral("甘草"), "GC", slotBytes);
    program.start();
    {
        Tm_Frame_ZY frame;
        QVERIFY(showHerbPictures(frame));
        for (int k = 1; k <= 7; ++k)
            QVERIFY2(frame.Cell(k)->Picture().IsEmpty() != filled[k - 1], qPrintable(QStringLiteral("cell %1").arg(k)));
        frame.grab(); // paints every cell
        for (int k = 1; k <= 7; ++k) {
            QTest::mouseClick(frame.Cell(k), Qt::LeftButton);
            QCOMPARE(frame.Preview()->Picture().IsEmpty(), !filled[k - 1]);
            frame.grab();
        }
    }
    QVERIFY2(program.errors.isEmpty(), qPrintable(program.errors.join(QLatin1Char('\n'))));
}

void TestHostileInput::stripOfSevenHostilePicturesKeepsOnlyItsCells_data()
{
    // One hostile picture in all seven slots of a herb entry (stored transformed). Each cell
    // decodes it at the scale that covers the cell, or is refused, and keeps at most its own
    // 55 x 66 pixels: the decodes' memory is given back as soon as the cell is drawn.
    QTest::addColumn<QByteArray>("picture");
    const auto fixture = [](const char *name) {
        return readAll(sourceDir() + QStringLiteral("/tests/fixtures/bad/") + QLatin1String(name));
    };
    QTest::newRow("header claiming 65500 x 65500")
        << JpegSurgery::WithForgedSize(TestSupport::MakeJpeg(96, 64), 65500, 65500);
    QTest::newRow("progressive, 16384 x 16383")
        << fixture("jpeg/progressive-16384x16383-memory-beyond-the-bound-at-full-size");
    QTest::newRow("arithmetic-coded progressive, 16384 x 16383")
        << fixture("jpeg/arithmetic-progressive-16384x16383-slow-scans");
}

void TestHostileInput::stripOfSevenHostilePicturesKeepsOnlyItsCells()
{
    QFETCH(QByteArray, picture);
    QVERIFY(!picture.isEmpty());
    QStringList reports;
    {
        TestSupport::TestProgram program;
        TestSupport::AddEntry(program.path, "ZY", QStringLiteral("甘草"), "GC",
                              QList<std::optional<QByteArray>>(7, picture));
        program.start();
        {
            Tm_Frame_ZY frame;
            QVERIFY(showHerbPictures(frame));
            frame.grab(); // paints every cell
            for (int k = 1; k <= 7; ++k)
                QVERIFY2(!frame.Cell(k)->Picture().IsEmpty(), qPrintable(QStringLiteral("cell %1").arg(k)));
            const qint64 cellBytes = qint64(frame.Cell(1)->width()) * frame.Cell(1)->height() * 4
                                     * qint64(std::ceil(frame.devicePixelRatioF() * frame.devicePixelRatioF()));
            QVERIFY2(TDecodeMemory::InUse() <= 7 * cellBytes,
                     qPrintable(QStringLiteral("%1 bytes kept").arg(TDecodeMemory::InUse())));
        }
        reports = program.errors;
    }
    QCOMPARE(TDecodeMemory::InUse(), qint64(0));
    QVERIFY2(reports.isEmpty(), qPrintable(reports.join(QLatin1Char('\n'))));
}

// ---- Catalogue files

void TestHostileInput::openingAndBrowsingNeverChangesTheFile_data()
{
    // make: writes the file at the path it is given and returns what failed, empty on success.
    // expected: empty when everything browses; otherwise text that the first error must hold.
    QTest::addColumn<TMakeFile>("make");
    QTest::addColumn<QString>("expected");
    // A catalogue (filled or empty), then changed by another program's statements.
    const auto changed = [](bool filled, const QString &sql) -> TMakeFile {
        return [=](const QString &path) {
            filled ? makeFilledCatalogue(path) : TestSupport::MakeCatalogue(path);
            return sql.isEmpty() ? QString() : execSql(path, sql);
        };
    };
    const auto truncated = [changed](const QString &path) {
        const QString failed = changed(true, QStringLiteral("PRAGMA journal_mode=DELETE"))(path);
        if (!failed.isEmpty())
            return failed;
        return writeFile(path, readAll(path).left(4096 * 3)) ? QString() : QStringLiteral("cannot cut the file");
    };
    const auto foreign = [](const QString &path) {
        return execSql(path, "CREATE TABLE notes(id INTEGER PRIMARY KEY, text TEXT); INSERT INTO notes(text) "
                             "VALUES('someone else''s data')");
    };
    QTest::newRow("good catalogue, WAL journal") << changed(true, {}) << QString();
    QTest::newRow("good catalogue, rollback journal") << changed(true, "PRAGMA journal_mode=DELETE") << QString();
    QTest::newRow("SQLite file without the tables") << TMakeFile(foreign) << "没有表 KVR_ZYPicture";
    QTest::newRow("truncated after the first pages") << TMakeFile(truncated) << "损坏";
    QTest::newRow("a table with a missing column")
        << changed(false, "PRAGMA journal_mode=DELETE; ALTER TABLE KVR_ZYPicture DROP COLUMN OtherName")
        << "表 KVR_ZYPicture 中没有列 OtherName";
    QTest::newRow("a column of another type")
        << changed(false, "PRAGMA journal_mode=DELETE; DROP TABLE KVR_ZXTPPicture; CREATE TABLE "
                          "KVR_ZXTPPicture(RecordSN INTEGER PRIMARY KEY, TypeName VARCHAR(50), ItemName BLOB, "
                          "MemoContent VARCHAR(250), pic1 PICTURE, pic2 PICTURE, pic3 PICTURE, pic4 PICTURE)")
        << "KVR_ZXTPPicture.ItemName 的类型是 BLOB";
    QTest::newRow("a slot referring to no picture")
        << changed(true, "PRAGMA journal_mode=DELETE; UPDATE KVR_ZYPicture SET pic2 = 99999") << "无法读取";
    QTest::newRow("an atlas that is a view over an endless query") << changed(false, endlessView())
                                                                   << "中的 KVR_ZYPicture 是视图,不是表。图库文件已损坏或属于其他程序;请从备份恢复。";
}

void TestHostileInput::openingAndBrowsingNeverChangesTheFile()
{
    QFETCH(TMakeFile, make);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath("KVRJetLib.mdb");
    QCOMPARE(make(path), QString());
    const QByteArray before = sha256(path);
    const QStringList errors = browseEverything(path);
    QCOMPARE(sha256(path), before);
    if (!errors.isEmpty())
        qInfo("%s", qPrintable(errors.first()));
    for (const QString &e : errors)
        QVERIFY2(!e.trimmed().isEmpty(), "an error without a message");
    if (expected.isEmpty()) {
        QVERIFY2(errors.isEmpty(), qPrintable(errors.join(QLatin1Char('\n'))));
    } else {
        QVERIFY2(!errors.isEmpty(), "the damage went unnoticed");
        QVERIFY2(errors.first().contains(expected), qPrintable(errors.join(QLatin1Char('\n'))));
        // Whatever is wrong, the message says which catalogue file it is about.
        QVERIFY2(errors.first().contains(path), qPrintable(errors.first()));
    }
}

void TestHostileInput::catalogueHeldByAnotherWriterBrowsesButRefusesChanges()
{
    if (QStandardPaths::findExecutable(QStringLiteral("sqlite3")).isEmpty())
        QSKIP("the sqlite3 command is not installed");
    QTemporaryDir dir;
    const QString path = dir.filePath("KVRJetLib.mdb");
    makeFilledCatalogue(path);
    // Another program holds it in a write transaction, with an entry of its own not yet committed.
    SqliteShell::Session other(path);
    QCOMPARE(other.Run("BEGIN IMMEDIATE; INSERT INTO KVR_ZXTPPicture(ItemName) VALUES('held')"), QString());
    const QByteArray before = sha256(path);
    {
        TCatalogConnection connection;
        TestSupport::ConnectToFile(connection, path);
        TCatalogQuery list;
        TestSupport::PrepareQuery(list, connection, {CatalogSchema::FindAtlas("ZXTP")->listSql});
        list.Open();
        QCOMPARE(list.RecordCount(), 1); // the other writer's row is not committed
        list.Append();
        list.SetFieldText(QStringLiteral("ItemName"), QStringLiteral("mine"));
        try {
            list.Post();
            QFAIL("a change was posted while another program held the catalogue");
        } catch (const TavelinError &e) {
            QVERIFY2(e.message().contains(QLatin1String("KVR_ZXTPPicture")) && e.message().contains(QStringLiteral("锁定")),
                     qPrintable(e.message()));
        }
        list.Cancel();
        QCOMPARE(list.RecordCount(), 1);
    }
    QCOMPARE(sha256(path), before);
}

void TestHostileInput::catalogueLockedExclusivelyFailsNamingTheLock()
{
    if (QStandardPaths::findExecutable(QStringLiteral("sqlite3")).isEmpty())
        QSKIP("the sqlite3 command is not installed");
    QTemporaryDir dir;
    const QString path = dir.filePath("KVRJetLib.mdb");
    makeFilledCatalogue(path);
    QCOMPARE(execSql(path, "PRAGMA journal_mode=DELETE"), QString());
    SqliteShell::Session other(path);
    QCOMPARE(other.Run("BEGIN EXCLUSIVE; INSERT INTO KVR_ZXTPPicture(ItemName) VALUES('held')"), QString());
    const QByteArray before = sha256(path);
    const QStringList errors = browseEverything(path);
    QCOMPARE(sha256(path), before);
    QVERIFY2(!errors.isEmpty(), "an exclusively locked catalogue was read");
    QVERIFY2(errors.first().contains(QStringLiteral("锁定")) && errors.first().contains(QLatin1String("KVRJetLib.mdb")),
             qPrintable(errors.first()));
}

namespace {

// A picture of noise: a JPEG of tens of KiB from a small image.
QByteArray noisyJpeg()
{
    QImage image(160, 160, QImage::Format_RGB32);
    quint32 x = 12345;
    for (int y = 0; y < image.height(); ++y)
        for (int i = 0; i < image.width(); ++i) {
            x = x * 1103515245u + 12345u;
            image.setPixel(i, y, x >> 8);
        }
    TJpegEncodeOptions o;
    o.quality = 95;
    return EncodeJpeg(image, o);
}

} // namespace

void TestHostileInput::pictureClaimingMoreThanTheFileIsADamagedSlot()
{
    // A looping overflow chain lets SQLite read a picture of any size the record claims. Such a
    // slot is refused before anything is allocated: browsing gets an error for it (the cell stays
    // empty), verify lists it, export-picture fails and writes nothing.
    QTemporaryDir dir;
    const QString path = dir.filePath("KVRJetLib.mdb");
    TestSupport::MakeCatalogue(path);
    const QByteArray big = noisyJpeg();
    QVERIFY(big.size() > 16 * 1024);
    TestSupport::AddEntry(path, "ZXTP", QStringLiteral("claims"), QStringLiteral("类别"), {big, TestSupport::MakeJpeg(40, 30)});
    QString why;
    qint64 picture = 0;
    {
        TCatalogConnection connection;
        TestSupport::ConnectToFile(connection, path);
        TCatalogQuery q;
        TestSupport::PrepareQuery(q, connection, {QStringLiteral("select pic1, RecordSN from KVR_ZXTPPicture")});
        q.Open();
        picture = q.FieldValue(QStringLiteral("pic1")).toLongLong();
    }
    const qint64 claimed = CatalogueSurgery::LoopPictureOverflowChain(path, picture, &why);
    QVERIFY2(claimed > QFileInfo(path).size(), qPrintable(why));
    const QByteArray before = sha256(path);

    {
        TCatalogConnection connection;
        TestSupport::ConnectToFile(connection, path);
        TCatalogQuery q;
        TestSupport::PrepareQuery(q, connection, {CatalogSchema::FindAtlas("ZXTP")->pictureSql});
        q.SetParameter(QStringLiteral("SQLRecordSN"), 1);
        q.Open();
        TMemoryStream stream;
        try {
            q.BlobToStream(QStringLiteral("pic1"), stream);
            QFAIL(qPrintable(QStringLiteral("a slot claiming %1 bytes was read").arg(stream.Size())));
        } catch (const TavelinError &e) {
            QVERIFY2(e.message().contains(QLatin1String("damaged")) && e.message().contains(QString::number(claimed))
                         && e.message().contains(QLatin1String("KVRJetLib.mdb")),
                     qPrintable(e.message()));
        }
        QCOMPARE(stream.Size(), qint64(0));
        q.BlobToStream(QStringLiteral("pic2"), stream); // the entry's other slot still reads
        QVERIFY(stream.Size() > 0);
    }

    const TestSupport::TProgramRun verified = TestSupport::RunCatalogTool({QStringLiteral("verify"), path});
    QVERIFY2(verified.code != 0, qPrintable(verified.out + verified.err));
    QVERIFY2(verified.out.contains(QLatin1String("ZXTP 1 1: ")) && verified.out.contains(QLatin1String("claims")),
             qPrintable(verified.out));
    QVERIFY2(!verified.out.contains(QLatin1String("ZXTP 1 2")), qPrintable(verified.out));

    const QString exported = dir.filePath("out.jpg");
    const TestSupport::TProgramRun exporting =
        TestSupport::RunCatalogTool({QStringLiteral("export-picture"), path, QStringLiteral("ZXTP"), QStringLiteral("1"), QStringLiteral("1"), exported});
    QVERIFY2(exporting.code != 0, qPrintable(exporting.err));
    QVERIFY2(exporting.err.contains(QLatin1String("claims")), qPrintable(exporting.err));
    QVERIFY(!QFileInfo::exists(exported));
    QCOMPARE(sha256(path), before);
}

void TestHostileInput::atlasThatIsAViewIsRefusedAndVerifyEnds()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("KVRJetLib.mdb");
    TestSupport::MakeCatalogue(path);
    QCOMPARE(execSql(path, endlessView()), QString());
    const QByteArray before = sha256(path);
    const TestSupport::TProgramRun verified = TestSupport::RunCatalogTool({QStringLiteral("verify"), path});
    QVERIFY2(verified.code > 0, qPrintable(verified.err));
    QVERIFY2(verified.err.contains(QLatin1String("ZY: "))
                 && verified.err.contains(QStringLiteral("中的 KVR_ZYPicture 是视图,不是表")),
             qPrintable(verified.err));
    QCOMPARE(sha256(path), before);
}

void TestHostileInput::runawayStatementsEndWithinTheirBudget_data()
{
    QTest::addColumn<QString>("sql");
    QTest::newRow("counting without end")
        << "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n) SELECT count(*) FROM n";
    QTest::newRow("sorting without end")
        << "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n) SELECT i FROM n ORDER BY random()";
}

void TestHostileInput::runawayStatementsEndWithinTheirBudget()
{
    // No statement runs without end: past its time it is stopped with a message naming the file.
    // (The limit is shortened here; the program's own is a few seconds.)
    QFETCH(QString, sql);
    QTemporaryDir dir;
    const QString path = dir.filePath("KVRJetLib.mdb");
    makeFilledCatalogue(path);
    SqliteStatementBudget::SetTimeLimitForTesting(300);
    const auto restore = qScopeGuard([] { SqliteStatementBudget::SetTimeLimitForTesting(0); });
    TCatalogConnection connection;
    TestSupport::ConnectToFile(connection, path);
    try {
        connection.Store().Execute(sql);
        QFAIL("the statement came back");
    } catch (const TavelinError &e) {
        QVERIFY2(e.message().contains(QStringLiteral("运行超过了允许的")) && e.message().contains(path),
                 qPrintable(e.message()));
    }
    // The connection goes on serving statements within their budget.
    TCatalogQuery list;
    TestSupport::PrepareQuery(list, connection, {CatalogSchema::FindAtlas("ZY")->listSql});
    list.Open();
    QCOMPARE(list.RecordCount(), 1);
}

namespace {

// Names of the entries of the miscellaneous atlas as a browser lists them, or the error met.
QStringList miscellaneousNames(const QString &path, QString *error)
{
    QStringList names;
    try {
        TCatalogConnection connection;
        TestSupport::ConnectToFile(connection, path);
        TCatalogQuery list;
        TestSupport::PrepareQuery(list, connection, {CatalogSchema::FindAtlas("ZXTP")->listSql});
        list.Open();
        for (int r = 0; r < list.RecordCount(); ++r) {
            list.SetRecNo(r);
            names << list.FieldAsString(QStringLiteral("ItemName"));
            TMemoryStream stream;
            list.BlobToStream(QStringLiteral("pic1"), stream);
            if (stream.Size() == 0)
                *error = QStringLiteral("the picture of %1 is missing").arg(names.last());
        }
    } catch (const TavelinError &e) {
        *error = e.message();
    }
    names.sort();
    return names;
}

QMap<QString, QByteArray> folderDigests(const QString &folder)
{
    QMap<QString, QByteArray> digests;
    QDirIterator it(folder, QDir::Files | QDir::Hidden);
    while (it.hasNext()) {
        const QString file = it.next();
        digests.insert(QFileInfo(file).fileName(), sha256(file));
    }
    return digests;
}

} // namespace

void TestHostileInput::readOnlyCatalogueLeftUnfinishedShowsTheCommittedState_data()
{
    QTest::addColumn<QString>("journal");
    QTest::addColumn<QString>("leftover"); // the file beside the catalogue that holds the change under way
    QTest::newRow("hot rollback journal") << "delete" << "-journal";
    QTest::newRow("write-ahead log without its index") << "wal" << "-wal";
}

void TestHostileInput::readOnlyCatalogueLeftUnfinishedShowsTheCommittedState()
{
    // The crash is taken as a copy of the files while another program's change is under way:
    // "kept" was committed before, "logged" committed with no checkpoint since (in a log, it is
    // only there), and "uncommitted" is written into the files but never committed. The copy is
    // then made read-only, as on a disc. Browsing it shows exactly what was committed and changes
    // none of its files.
    QFETCH(QString, journal);
    QFETCH(QString, leftover);
    QTemporaryDir work, disc;
    const QString path = work.filePath("KVRJetLib.mdb");
    TestSupport::MakeCatalogue(path);
    TestSupport::AddEntry(path, "ZXTP", QStringLiteral("kept"), QStringLiteral("类别"), {TestSupport::MakeJpeg(32, 24)});
    const QStringList committed = {QStringLiteral("kept"), QStringLiteral("logged")};
    SqliteShell::Session writer(path);
    // A page cache of two pages: the change under way is written into the files long before a commit.
    QCOMPARE(writer.Run(QStringLiteral("PRAGMA journal_mode=%1; PRAGMA wal_autocheckpoint=0; PRAGMA cache_size=2; "
                                       "INSERT INTO KVR_ZXTPPicture(TypeName, ItemName, pic1) "
                                       "SELECT TypeName, 'logged', pic1 FROM KVR_ZXTPPicture")
                            .arg(journal)),
             QString());
    QCOMPARE(writer.Run(QStringLiteral("BEGIN; CREATE TABLE spill(b)")), QString());
    for (int i = 0; i < 4; ++i)
        QCOMPARE(writer.Run(QStringLiteral("INSERT INTO KVR_ZXTPPicture(TypeName, ItemName) VALUES('类别', 'uncommitted'); "
                                           "INSERT INTO spill VALUES(randomblob(300 * 1024))")),
                 QString());
    const QString copy = disc.filePath("KVRJetLib.mdb");
    QStringList leftovers;
    for (const QString &suffix : {QString(), QStringLiteral("-journal"), QStringLiteral("-wal")}) {
        if (QFileInfo::exists(path + suffix)) {
            QVERIFY(QFile::copy(path + suffix, copy + suffix));
            if (!suffix.isEmpty())
                leftovers << suffix;
        }
    }
    QCOMPARE(writer.Run(QStringLiteral("ROLLBACK")), QString());
    QCOMPARE(leftovers, QStringList{leftover});
    QVERIFY(!QFileInfo::exists(copy + QLatin1String("-shm")));
    for (const QString &f : QDir(disc.path()).entryList(QDir::Files))
        QFile::setPermissions(disc.filePath(f), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    QFile::setPermissions(disc.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
                                           | QFile::ReadOther | QFile::ExeOther);
    const auto writableAgain = qScopeGuard([&] {
        QFile::setPermissions(disc.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    });
    const QMap<QString, QByteArray> before = folderDigests(disc.path());

    QString error;
    const QStringList names = miscellaneousNames(copy, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(names, committed);
    QCOMPARE(folderDigests(disc.path()), before);

    // Read-only through the copy: a change is refused, and the original stays as it was.
    {
        TCatalogConnection connection;
        TestSupport::ConnectToFile(connection, copy);
        QVERIFY(connection.ReadOnly());
        QVERIFY_THROWS_EXCEPTION(TavelinError, connection.RequireWritable());
    }
    QCOMPARE(folderDigests(disc.path()), before);
}

void TestHostileInput::refusedAddLeavesTheJournalModeAlone()
{
    // A catalogue kept with a rollback journal, whose owner forbids new entries by a trigger: the
    // add fails, and the file keeps its journal mode (a switch to WAL would be a change made by a
    // command that changed nothing).
    QTemporaryDir dir;
    const QString path = dir.filePath("KVRJetLib.mdb");
    makeFilledCatalogue(path);
    QCOMPARE(execSql(path, "PRAGMA journal_mode=DELETE; CREATE TRIGGER no_more BEFORE INSERT ON KVR_ZXTPPicture "
                           "BEGIN SELECT RAISE(ABORT, 'no new entries'); END"),
             QString());
    const QString picture = dir.filePath("new.jpg");
    QVERIFY(writeFile(picture, TestSupport::MakeJpeg(40, 30)));
    const TestSupport::TProgramRun added = TestSupport::RunCatalogTool({QStringLiteral("add"), path, QStringLiteral("ZXTP"), QStringLiteral("--name"),
                                    QStringLiteral("new"), picture});
    QVERIFY2(added.code != 0 && added.err.contains(QLatin1String("no new entries")), qPrintable(added.err));
    // Header bytes 18 and 19: 1 for a rollback journal, 2 for WAL.
    const QByteArray header = readAll(path).left(20);
    QCOMPARE(int(header[18]), 1);
    QCOMPARE(int(header[19]), 1);
    QVERIFY(!QFileInfo::exists(path + QLatin1String("-wal")));
}

QTEST_MAIN(TestHostileInput)
#include "test_hostile_input.moc"
