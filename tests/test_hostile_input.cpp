// Hostile pictures and catalogue files: each named case either fails with an error that says
// what is wrong, or is shown with the affected parts empty; none crashes, hangs or changes the
// file. The fuzz corpora and every file kept in tests/fixtures/bad/ are replayed here, so a
// crash the fuzzer once found stays fixed in the normal test run.
#include "data/CatalogSchema.h"
#include "data/TCatalogConnection.h"
#include "data/TCatalogQuery.h"
#include "data/UDataLibModule.h"
#include "frames/UFrame_ZY.h"
#include "picture/JpegEncoder.h"
#include "picture/TJPEGImage.h"
#include "picture/TImage.h"
#include "picture/TPicture.h"
#include "platform/TMemoryStream.h"
#include "platform/StandardErrorReport.h"
#include "platform/TavelinError.h"
#include "support/FuzzHarness.h"
#include "support/JpegSurgery.h"
#include "support/SqliteShell.h"
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
#include <QTest>


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

QString execSql(const QString &path, const QString &sql)
{
    return SqliteShell::Run(path, sql);
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
        list.SetConnection(&connection);
        list.SQL() << atlas.listSql;
        try {
            list.Open();
        } catch (const TavelinError &e) {
            errors << e.message();
            continue;
        }
        if (list.IsEmpty())
            continue;
        TCatalogQuery pictures;
        pictures.SetConnection(&connection);
        pictures.SQL() << atlas.pictureSql;
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

// A process that holds the catalogue in a write transaction until it is told to stop.
class TLockHolder {
public:
    explicit TLockHolder(const QString &path, const QString &begin)
    {
        m_process.setProgram(QStringLiteral("sqlite3"));
        m_process.setArguments({path});
        m_process.start();
        if (!m_process.waitForStarted())
            return;
        m_process.write(begin.toUtf8() + ";\nINSERT INTO KVR_ZXTPPicture(ItemName) VALUES('held');\n.print holding\n");
        while (!m_process.readAllStandardOutput().contains("holding"))
            if (!m_process.waitForReadyRead(10000))
                return;
        m_holding = true;
    }
    ~TLockHolder()
    {
        m_process.write("ROLLBACK;\n.quit\n");
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(10000))
            m_process.kill();
        m_process.waitForFinished();
    }
    bool Holding() const { return m_holding; }
    QString Errors() { return QString::fromUtf8(m_process.readAllStandardError()); }

private:
    QProcess m_process;
    bool m_holding = false;
};

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

    void openingAndBrowsingNeverChangesTheFile_data();
    void openingAndBrowsingNeverChangesTheFile();
    void catalogueHeldByAnotherWriterBrowsesButRefusesChanges();
    void catalogueLockedExclusivelyFailsNamingTheLock();
};

// ---- Replayed fuzz inputs

void TestHostileInput::replayedInputsKeepThePromises_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("path");
    int rows = 0;
    for (const QString &root : {QStringLiteral("/tests/fuzz/corpus"), QStringLiteral("/tests/fixtures/bad")}) {
        for (const QString &kind : {QStringLiteral("jpeg"), QStringLiteral("slot"), QStringLiteral("catalogue"),
                                    QStringLiteral("input_value")}) {
            QDirIterator it(sourceDir() + root + QLatin1Char('/') + kind, QDir::Files);
            while (it.hasNext()) {
                const QString path = it.next();
                const QString name = root.section(QLatin1Char('/'), -1) + QLatin1Char('/') + kind + QLatin1Char('/')
                                     + QFileInfo(path).fileName();
                QTest::newRow(qPrintable(name)) << kind << path;
                ++rows;
            }
        }
    }
    QVERIFY2(rows > 0, "no corpus found under the source tree");
}

void TestHostileInput::replayedInputsKeepThePromises()
{
    QFETCH(QString, kind);
    QFETCH(QString, path);
    const QByteArray bytes = readAll(path);
    QString finding;
    if (kind == QLatin1String("jpeg"))
        finding = FuzzHarness::JpegPicture(bytes);
    else if (kind == QLatin1String("slot"))
        finding = FuzzHarness::PictureSlot(bytes);
    else if (kind == QLatin1String("catalogue"))
        finding = FuzzHarness::CatalogueFile(bytes);
    else
        finding = FuzzHarness::InputValue(bytes);
    QVERIFY2(finding.isEmpty(), qPrintable(finding));
}

// ---- Picture files

void TestHostileInput::pictureFilesNamedJpg_data()
{
    // outcome: "empty" (loads as no picture), "error" (the load fails naming the problem), or
    // "damaged" (loads, decodes at full size with a damage note).
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("outcome");
    QTest::addColumn<QString>("message");
    const QByteArray jpeg = TestSupport::MakeJpeg(120, 90);
    QByteArray png;
    {
        QImage image(20, 20, QImage::Format_RGB32);
        image.fill(Qt::red);
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
    }
    QTest::newRow("zero bytes") << QByteArray() << "empty" << QString();
    QTest::newRow("a PNG named .jpg") << png << "error" << "not a readable JPEG";
    QTest::newRow("cut at the header") << JpegSurgery::CutAt(jpeg, JpegSurgery::FindFrame(jpeg) + 6) << "error"
                                       << "not a readable JPEG";
    QTest::newRow("cut in the middle") << JpegSurgery::CutAt(jpeg, jpeg.size() / 2) << "damaged" << QString();
    QTest::newRow("cut at the end (no EOI)") << JpegSurgery::CutAt(jpeg, jpeg.size() - 2) << "damaged" << QString();
}

void TestHostileInput::pictureFilesNamedJpg()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, outcome);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString path = dir.filePath("picture.jpg");
    QVERIFY(writeFile(path, bytes));
    const QByteArray before = sha256(path);

    TPicture picture;
    QString error;
    try {
        picture.LoadFromFile(path);
    } catch (const TavelinError &e) {
        error = e.message();
    }
    QCOMPARE(sha256(path), before);
    if (outcome == QLatin1String("error")) {
        QVERIFY2(error.contains(message), qPrintable(error));
        QVERIFY(picture.IsEmpty());
        return;
    }
    QVERIFY2(error.isEmpty(), qPrintable(error));
    if (outcome == QLatin1String("empty")) {
        QVERIFY(picture.IsEmpty());
        return;
    }
    auto *jpeg = dynamic_cast<TJPEGImage *>(picture.Graphic());
    QVERIFY(jpeg);
    QCOMPARE(jpeg->Image().size(), QSize(120, 90));
    QVERIFY2(!jpeg->DecodeWarning().isEmpty(), "the damage went unnoticed");
}

void TestHostileInput::viewerOpensHostilePictureFiles_data()
{
    // shown: whether the viewer holds a picture afterwards (an undecodable one shows as an empty area).
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("shown");
    const QByteArray jpeg = TestSupport::MakeJpeg(96, 64);
    QByteArray png;
    {
        QImage image(20, 20, QImage::Format_RGB32);
        image.fill(Qt::blue);
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
    }
    TJpegEncodeOptions progressive;
    progressive.progressive = true;
    const QByteArray scans = JpegSurgery::WithRepeatedLastScan(EncodeJpeg(QImage::fromData(jpeg), progressive), 3000);
    QTest::newRow("zero bytes") << QByteArray() << false;
    QTest::newRow("a PNG named .jpg") << png << false;
    QTest::newRow("cut at the header") << JpegSurgery::CutAt(jpeg, JpegSurgery::FindFrame(jpeg) + 6) << false;
    QTest::newRow("cut in the middle") << JpegSurgery::CutAt(jpeg, jpeg.size() / 2) << true;
    QTest::newRow("header claiming 65500 x 65500") << JpegSurgery::WithForgedSize(jpeg, 65500, 65500) << true;
    QTest::newRow("progressive with 3000 scans") << scans << true;
}

void TestHostileInput::viewerOpensHostilePictureFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, shown);
    QTemporaryDir dir;
    const QString path = dir.filePath("hostile.jpg");
    QVERIFY(writeFile(path, bytes));
    const QByteArray before = sha256(path);
    QStringList reports;
    SetStandardErrorSink([&](const QString &m) { reports << m; });

    Tm_GLOPictureViewDlg viewer;
    viewer.show();
    QVERIFY(QTest::qWaitForWindowExposed(&viewer));
    viewer.LoadPictureFile(path); // no message: the viewer says nothing about a bad file
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
    QCOMPARE(sha256(path), before);
}

void TestHostileInput::herbFrameShowsHostileSlotsAsEmptyCells()
{
    // Seven slots of one herb entry, each hostile in its own way. A slot whose header reads gets
    // a cell picture (drawn as far as its data goes); the others leave their cell empty. Showing
    // them, enlarging each into the preview and painting everything reports nothing.
    const QByteArray jpeg = TestSupport::MakeJpeg(96, 64);
    QByteArray png;
    {
        QImage image(20, 20, QImage::Format_RGB32);
        image.fill(Qt::green);
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
    }
    TJpegEncodeOptions progressive;
    progressive.progressive = true;
    const QList<std::optional<QByteArray>> slotBytes = {
        jpeg,
        png,
        JpegSurgery::CutAt(jpeg, JpegSurgery::FindFrame(jpeg) + 6),
        JpegSurgery::WithForgedSize(jpeg, 65500, 65500),
        JpegSurgery::WithRepeatedLastScan(EncodeJpeg(QImage::fromData(jpeg), progressive), 3000),
        JpegSurgery::CutAt(jpeg, jpeg.size() / 2),
        QByteArray(),
    };
    const QList<bool> filled = {true, false, false, true, true, true, false};

    QTemporaryDir dir;
    const QString path = dir.filePath("KVRJetLib.mdb");
    TestSupport::MakeCatalogue(path);
    TestSupport::AddEntry(path, "ZY", QStringLiteral("甘草"), "GC", slotBytes);
    const QString oldDir = QDir::currentPath();
    QDir::setCurrent(dir.path());
    QStringList reports;
    SetStandardErrorSink([&](const QString &m) { reports << m; });
    {
        Tm_DataLibModule module;
        m_DataLibModule = &module;
        Tm_Frame_ZY frame;
        frame.resize(800, 600);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        frame.ActivateFrame();
        frame.findChild<QPushButton *>(QStringLiteral("m_Button_DisplayPic"))->click();
        for (int k = 1; k <= 7; ++k)
            QVERIFY2(frame.Cell(k)->Picture().IsEmpty() != filled[k - 1], qPrintable(QStringLiteral("cell %1").arg(k)));
        frame.grab(); // paints every cell
        for (int k = 1; k <= 7; ++k) {
            QTest::mouseClick(frame.Cell(k), Qt::LeftButton);
            QCOMPARE(frame.Preview()->Picture().IsEmpty(), !filled[k - 1]);
            frame.grab();
        }
        m_DataLibModule = nullptr;
    }
    SetStandardErrorSink(nullptr);
    QDir::setCurrent(oldDir);
    QVERIFY2(reports.isEmpty(), qPrintable(reports.join(QLatin1Char('\n'))));
}

// ---- Catalogue files

void TestHostileInput::openingAndBrowsingNeverChangesTheFile_data()
{
    // expected: empty when everything browses; otherwise text that the first error must hold.
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<QString>("expected");
    QTest::newRow("good catalogue, WAL journal") << "wal" << QString();
    QTest::newRow("good catalogue, rollback journal") << "rollback" << QString();
    QTest::newRow("SQLite file without the tables") << "foreign" << "has no table KVR_ZYPicture";
    QTest::newRow("truncated after the first pages") << "truncated" << "damaged";
    QTest::newRow("a table with a missing column") << "missing column" << "KVR_ZYPicture has no column OtherName";
    QTest::newRow("a column of another type") << "other type" << "KVR_ZXTPPicture.ItemName holds the type BLOB";
    QTest::newRow("a slot referring to no picture") << "dangling slot" << "cannot be read";
}

void TestHostileInput::openingAndBrowsingNeverChangesTheFile()
{
    QFETCH(QString, fixture);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath("KVRJetLib.mdb");
    if (fixture == QLatin1String("wal") || fixture == QLatin1String("rollback") || fixture == QLatin1String("truncated")
        || fixture == QLatin1String("dangling slot")) {
        makeFilledCatalogue(path);
        if (fixture != QLatin1String("wal"))
            QCOMPARE(execSql(path, "PRAGMA journal_mode=DELETE"), QString());
        if (fixture == QLatin1String("truncated")) {
            const QByteArray all = readAll(path);
            QVERIFY(writeFile(path, all.left(4096 * 3)));
        }
        if (fixture == QLatin1String("dangling slot"))
            QCOMPARE(execSql(path, "UPDATE KVR_ZYPicture SET pic2 = 99999"), QString());
    } else if (fixture == QLatin1String("foreign")) {
        QCOMPARE(execSql(path, "CREATE TABLE notes(id INTEGER PRIMARY KEY, text TEXT); INSERT INTO notes(text) "
                               "VALUES('someone else''s data')"),
                 QString());
    } else if (fixture == QLatin1String("missing column")) {
        TestSupport::MakeCatalogue(path);
        QCOMPARE(execSql(path, "PRAGMA journal_mode=DELETE; ALTER TABLE KVR_ZYPicture DROP COLUMN OtherName"), QString());
    } else if (fixture == QLatin1String("other type")) {
        TestSupport::MakeCatalogue(path);
        QCOMPARE(execSql(path, "PRAGMA journal_mode=DELETE; DROP TABLE KVR_ZXTPPicture; CREATE TABLE "
                               "KVR_ZXTPPicture(RecordSN INTEGER PRIMARY KEY, TypeName VARCHAR(50), ItemName BLOB, "
                               "MemoContent VARCHAR(250), pic1 PICTURE, pic2 PICTURE, pic3 PICTURE, pic4 PICTURE)"),
                 QString());
    }
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
    }
}

void TestHostileInput::catalogueHeldByAnotherWriterBrowsesButRefusesChanges()
{
    if (QStandardPaths::findExecutable(QStringLiteral("sqlite3")).isEmpty())
        QSKIP("the sqlite3 command is not installed");
    QTemporaryDir dir;
    const QString path = dir.filePath("KVRJetLib.mdb");
    makeFilledCatalogue(path);
    TLockHolder other(path, QStringLiteral("BEGIN IMMEDIATE"));
    QVERIFY2(other.Holding(), qPrintable(other.Errors()));
    const QByteArray before = sha256(path);
    {
        TCatalogConnection connection;
        connection.SetConnectionString(TCatalogConnection::ConnectionStringForFile(path));
        connection.SetConnected(true);
        TCatalogQuery list;
        list.SetConnection(&connection);
        list.SQL() << CatalogSchema::FindAtlas("ZXTP")->listSql;
        list.Open();
        QCOMPARE(list.RecordCount(), 1); // the other writer's row is not committed
        list.Append();
        list.SetFieldText(QStringLiteral("ItemName"), QStringLiteral("mine"));
        try {
            list.Post();
            QFAIL("a change was posted while another program held the catalogue");
        } catch (const TavelinError &e) {
            QVERIFY2(e.message().contains(QLatin1String("KVR_ZXTPPicture")) && e.message().contains(QLatin1String("locked")),
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
    TLockHolder other(path, QStringLiteral("BEGIN EXCLUSIVE"));
    QVERIFY2(other.Holding(), qPrintable(other.Errors()));
    const QByteArray before = sha256(path);
    const QStringList errors = browseEverything(path);
    QCOMPARE(sha256(path), before);
    QVERIFY2(!errors.isEmpty(), "an exclusively locked catalogue was read");
    QVERIFY2(errors.first().contains(QLatin1String("locked")) && errors.first().contains(QLatin1String("KVRJetLib.mdb")),
             qPrintable(errors.first()));
}

QTEST_MAIN(TestHostileInput)
#include "test_hostile_input.moc"
