// The demo catalogue: what it holds, that every picture is a readable JPEG stored the way its
// atlas wants, that it comes out byte for byte the same, and that failures leave nothing behind.
#include "support/FrameSearch.h"
#include "support/ProgramEnvironment.h"
#include "support/TestSupport.h"

#include "data/CatalogSchema.h"
#include "data/PictureTransform.h"
#include "data/TCatalogConnection.h"
#include "data/TCatalogQuery.h"
#include "data/AtlasEntries.h"
#include "picture/TJPEGImage.h"
#include "platform/TMemoryStream.h"
#include "platform/TavelinError.h"
#include "demo/DemoCatalog.h"
#include "demo/DemoPlan.h"
#include "demo/art/DemoSubjects.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <functional>

// Spoils a demo entry, or the path the demo catalogue is built at.
using TDemoFault = std::function<void(TDemoEntry &, QString &)>;
Q_DECLARE_METATYPE(TDemoFault)

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

struct Slot {
    QString atlas;
    QString name;
    int slot;
    QByteArray stored;
};

// Every filled slot of the catalogue, read the way a browser reads it: list, then the picture
// statement with the entry's RecordSN.
QVector<Slot> readSlots(const QString &path)
{
    TCatalogConnection conn;
    conn.SetConnectionString(TCatalogConnection::ConnectionStringForFile(path));
    conn.SetConnected(true);
    QVector<Slot> out;
    for (const TAtlasDef &a : CatalogSchema::Atlases()) {
        TCatalogQuery list;
        list.SetConnection(&conn);
        list.SQL() << a.listSql;
        list.Open();
        for (int r = 0; r < list.RecordCount(); ++r) {
            list.SetRecNo(r);
            TCatalogQuery pics;
            pics.SetConnection(&conn);
            pics.SQL() << a.pictureSql;
            pics.SetParameter(QStringLiteral("SQLRecordSN"), list.FieldAsInteger(QStringLiteral("RecordSN")));
            pics.Open();
            for (int k = 1; k <= a.slotCount; ++k) {
                TMemoryStream s;
                pics.BlobToStream(CatalogSchema::SlotColumn(k), s);
                if (s.Size() > 0)
                    out.append({a.code, list.FieldAsString(a.nameColumn), k, s.Bytes()});
            }
        }
    }
    return out;
}

QByteArray plainBytes(const Slot &s)
{
    TMemoryStream stream;
    stream.Write(s.stored);
    AtlasEntries::ToPlain(*CatalogSchema::FindAtlas(s.atlas), stream);
    return stream.Bytes();
}

// A tiny grey version of a picture, for telling pictures apart.
QImage thumbnail(const QByteArray &jpeg)
{
    return QImage::fromData(jpeg, "JPEG").scaled(48, 36, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_Grayscale8);
}

double meanDifference(const QImage &a, const QImage &b)
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            sum += std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y)));
    return sum / (a.width() * a.height());
}

double greyDeviation(const QImage &grey)
{
    double sum = 0, sum2 = 0;
    const int n = grey.width() * grey.height();
    for (int y = 0; y < grey.height(); ++y)
        for (int x = 0; x < grey.width(); ++x) {
            const double v = qGray(grey.pixel(x, y));
            sum += v;
            sum2 += v * v;
        }
    return std::sqrt(std::max(0.0, sum2 / n - (sum / n) * (sum / n)));
}

QStringList filesIn(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

class TestDemoCatalog : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_db;
    QVector<Slot> m_slots;

private slots:
    void initTestCase()
    {
        // The command as make run calls it.
        m_db = m_dir.filePath(QStringLiteral("KVRJetLib.mdb"));
        QProcess tool;
        tool.setProcessEnvironment(TestSupport::ProgramEnvironment());
        tool.start(QStringLiteral(TAVELIN_BINARY_DIR "/tavelin-catalog"), {QStringLiteral("demo"), m_db});
        QVERIFY(tool.waitForFinished(280000));
        QCOMPARE(tool.exitCode(), 0);
        QVERIFY(QString::fromUtf8(tool.readAllStandardOutput()).contains(QStringLiteral("pictures")));
        QCOMPARE(filesIn(m_dir.path()), QStringList{QStringLiteral("KVRJetLib.mdb")});
        m_slots = readSlots(m_db);
        QVERIFY(!m_slots.isEmpty());
    }

    void entriesPerAtlas_data()
    {
        QTest::addColumn<QString>("atlas");
        QTest::addColumn<int>("minimum");
        QTest::newRow("herbs") << "ZY" << 60;
        QTest::newRow("acupuncture") << "ZYZJ" << 40;
        QTest::newRow("inspection") << "ZYWZ" << 20;
        QTest::newRow("anatomy") << "XYJP" << 20;
        QTest::newRow("clinical") << "XYLC" << 20;
        QTest::newRow("miscellaneous") << "ZXTP" << 3;
    }
    void entriesPerAtlas()
    {
        QFETCH(QString, atlas);
        QFETCH(int, minimum);
        const TAtlasDef *a = CatalogSchema::FindAtlas(atlas);
        const TRowSet count = TestSupport::SelectRows(m_db, QStringLiteral("select count(*), count(distinct %1), "
                                                                           "sum(length(%1) = 0 or %1 is null) from %2")
                                                                .arg(a->nameColumn, a->table));
        QCOMPARE(count.RowCount(), 1);
        const qint64 entries = count.Value(0, 0).toLongLong();
        QVERIFY2(entries >= minimum, qPrintable(QString::number(entries)));
        QCOMPARE(count.Value(0, 1).toLongLong(), entries); // names are unique within an atlas
        QCOMPARE(count.Value(0, 2).toLongLong(), 0);       // and never empty
    }

    void herbsAreFoundByTheirInitials_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("herb");
        QTest::newRow("GC") << "GC" << QStringLiteral("甘草");
        QTest::newRow("HQ") << "HQ" << QStringLiteral("黄芪");
        QTest::newRow("SDH") << "SDH" << QStringLiteral("熟地黄");
        QTest::newRow("NZZ (nü)") << "NZZ" << QStringLiteral("女贞子");
        QTest::newRow("other name") << QStringLiteral("国老") << QStringLiteral("甘草");
    }
    void herbsAreFoundByTheirInitials()
    {
        QFETCH(QString, typed);
        QFETCH(QString, herb);
        // The browser's own search statement.
        const TRowSet rows = TestSupport::SelectRows(
            m_db, TestSupport::SearchStatementFor(QStringLiteral("ZY"), typed).join(QStringLiteral("\r\n")));
        QStringList found;
        for (int r = 0; r < rows.RowCount(); ++r)
            found << rows.Value(r, 0).toString(); // the list's first column: DrugName
        QVERIFY2(found.contains(herb), qPrintable(found.join(QLatin1Char(' '))));
    }

    void everyHerbHasOneInitialPerCharacter()
    {
        // Catches a pinyin that does not match its name (a missing or extra syllable).
        for (const TDemoHerb &h : DemoHerbs()) {
            const QString name = QString::fromUtf8(h.name);
            const QString initials = PinyinInitials(QString::fromUtf8(h.pinyin));
            QVERIFY2(initials.size() == name.size(), qPrintable(name));
            QVERIFY2(HerbOtherName(h).endsWith(QLatin1Char(' ') + initials), qPrintable(name));
            QCOMPARE(initials, initials.toUpper());
        }
        QCOMPARE(PinyinInitials(QStringLiteral("gan cao")), QStringLiteral("GC"));
    }

    void pointsAreGroupedByMeridian()
    {
        const TRowSet rows = TestSupport::SelectRows(m_db, QStringLiteral("select TypeName, ItemName from KVR_ZYZJPicture"));
        QHash<QString, QString> meridianOf;
        QSet<QString> meridians;
        for (int r = 0; r < rows.RowCount(); ++r) {
            meridianOf.insert(rows.Value(r, 1).toString(), rows.Value(r, 0).toString());
            meridians.insert(rows.Value(r, 0).toString());
        }
        QCOMPARE(meridianOf.value(QStringLiteral("中府")), QStringLiteral("手太阴肺经"));
        QCOMPARE(meridianOf.value(QStringLiteral("足三里")), QStringLiteral("足阳明胃经"));
        QCOMPARE(meridianOf.value(QStringLiteral("百会")), QStringLiteral("督脉"));
        QVERIFY(meridians.size() >= 12);
    }

    void everyFilledSlotIsAReadableJpegStoredAsItsAtlasWants()
    {
        int large = 0;
        for (const Slot &s : std::as_const(m_slots)) {
            const QString where = QStringLiteral("%1 %2 slot %3").arg(s.atlas, s.name).arg(s.slot);
            const bool transformed = CatalogSchema::FindAtlas(s.atlas)->transformed;
            // Plain in the miscellaneous atlas, transformed in the built-in ones.
            QVERIFY2(s.stored.startsWith("\xFF\xD8\xFF") != transformed, qPrintable(where));
            const QByteArray plain = plainBytes(s);
            QVERIFY2(plain.startsWith("\xFF\xD8\xFF"), qPrintable(where));
            TJPEGImage jpeg;
            jpeg.LoadFromBytes(plain);
            const int w = jpeg.ImageWidth(), h = jpeg.ImageHeight();
            QVERIFY2(std::min(w, h) >= 300 && std::max(w, h) <= 4000, qPrintable(where));
            if (std::max(w, h) >= 2000)
                ++large;
            // Decoding the large ones fully takes long; their headers and a reduced decode suffice.
            if (std::max(w, h) > 1300)
                jpeg.SetScale(TJPEGScale::jsEighth);
            const QImage image = jpeg.Image();
            QVERIFY2(!image.isNull(), qPrintable(where));
            QVERIFY2(jpeg.DecodeWarning().isEmpty(), qPrintable(where + jpeg.DecodeWarning()));
        }
        // A few large pictures, not many: they are what makes the file big.
        QVERIFY(large >= 3);
        QVERIFY(large <= 12);
        QVERIFY(QFileInfo(m_db).size() < 60 * 1024 * 1024);
    }

    void slotsAreFilledInVariedPatterns()
    {
        bool gapFirst = false, firstAndThirdOnly = false, allSeven = false;
        for (const TAtlasDef &a : CatalogSchema::Atlases()) {
            QStringList cols;
            for (int k = 1; k <= a.slotCount; ++k)
                cols << CatalogSchema::SlotColumn(k) + QStringLiteral(" is not null");
            const TRowSet rows = TestSupport::SelectRows(m_db, QStringLiteral("select %1 from %2").arg(cols.join(QLatin1Char(',')), a.table));
            for (int r = 0; r < rows.RowCount(); ++r) {
                unsigned mask = 0;
                for (int k = 0; k < a.slotCount; ++k)
                    mask |= rows.Value(r, k).toLongLong() ? 1u << k : 0u;
                QVERIFY2(mask != 0, qPrintable(a.code)); // every entry shows something
                gapFirst |= (mask & 0b11) == 0b10;
                firstAndThirdOnly |= mask == 0b101;
                allSeven |= a.slotCount == 7 && mask == 0b1111111;
            }
        }
        QVERIFY(gapFirst);
        QVERIFY(firstAndThirdOnly);
        QVERIFY(allSeven);
    }

    void picturesOfAnEntryDifferAndAreNotBlank()
    {
        QVector<QImage> herb;
        for (const Slot &s : std::as_const(m_slots))
            if (s.atlas == QLatin1String("ZY") && s.name == QStringLiteral("甘草"))
                herb << thumbnail(plainBytes(s));
        QCOMPARE(herb.size(), 7);
        for (int i = 0; i < herb.size(); ++i) {
            QVERIFY2(greyDeviation(herb[i]) > 8, qPrintable(QString::number(i)));
            for (int j = i + 1; j < herb.size(); ++j)
                QVERIFY2(meanDifference(herb[i], herb[j]) > 6, qPrintable(QStringLiteral("%1 %2").arg(i).arg(j)));
        }
    }

    void twoRunsGiveTheSameFile()
    {
        QTemporaryDir dir;
        const QString again = dir.filePath(QStringLiteral("again.mdb"));
        BuildDemoCatalogue(again, DemoCatalogEntries());
        const QByteArray a = readAll(m_db), b = readAll(again);
        QVERIFY(!a.isEmpty());
        QVERIFY(a == b);
    }

    void refusesAnExistingFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("KVRJetLib.mdb"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("someone's catalogue");
        f.close();
        QProcess tool;
        tool.setProcessEnvironment(TestSupport::ProgramEnvironment());
        tool.start(QStringLiteral(TAVELIN_BINARY_DIR "/tavelin-catalog"), {QStringLiteral("demo"), path});
        QVERIFY(tool.waitForFinished(60000));
        QCOMPARE(tool.exitCode(), 2);
        QVERIFY(QString::fromUtf8(tool.readAllStandardError()).contains(QStringLiteral("already exists")));
        QCOMPARE(readAll(path), QByteArray("someone's catalogue"));
        QCOMPARE(filesIn(dir.path()), QStringList{QStringLiteral("KVRJetLib.mdb")});

        QProcess usage;
        usage.setProcessEnvironment(TestSupport::ProgramEnvironment());
        usage.start(QStringLiteral(TAVELIN_BINARY_DIR "/tavelin-catalog"), {QStringLiteral("demo")});
        QVERIFY(usage.waitForFinished(60000));
        QCOMPARE(usage.exitCode(), 2);
    }

    void failureLeavesNothingBehind_data()
    {
        // fault: spoils the last entry, or the catalogue's path.
        QTest::addColumn<TDemoFault>("fault");
        QTest::newRow("unknown atlas") << TDemoFault([](TDemoEntry &bad, QString &) { bad.atlas = QStringLiteral("QQ"); });
        QTest::newRow("more pictures than slots") << TDemoFault([](TDemoEntry &bad, QString &) { bad.pictures.resize(8); });
        QTest::newRow("picture cannot be drawn")
            << TDemoFault([](TDemoEntry &bad, QString &) { bad.draw = [](int, QSize) { return QImage(); }; });
        QTest::newRow("folder does not exist") << TDemoFault([](TDemoEntry &, QString &path) {
            path = QFileInfo(path).absolutePath() + QStringLiteral("/missing/KVRJetLib.mdb");
        });
    }
    void failureLeavesNothingBehind()
    {
        QFETCH(TDemoFault, fault);
        QTemporaryDir dir;
        QString path = dir.filePath(QStringLiteral("KVRJetLib.mdb"));
        // A few good entries first, so the failure comes after rows were written.
        QVector<TDemoEntry> entries = DemoCatalogEntries().mid(0, 3);
        TDemoEntry bad = entries.last();
        bad.name = QStringLiteral("坏条目");
        fault(bad, path);
        entries << bad;
        bool threw = false;
        try {
            BuildDemoCatalogue(path, entries);
        } catch (const TavelinError &) {
            threw = true;
        }
        QVERIFY(threw);
        QVERIFY(!QFile::exists(path));
        QCOMPARE(filesIn(dir.path()), QStringList());
    }

    void drawingIsRepeatable()
    {
        // The same entry drawn twice gives the same pixels (no time, no hash seed, no shared state).
        const QVector<TDemoEntry> entries = DemoCatalogEntries();
        for (const qsizetype i : {qsizetype(0), qsizetype(80), qsizetype(160), qsizetype(200), entries.size() - 1}) {
            const TDemoEntry &e = entries[i];
            for (int slot = 1; slot <= e.pictures.size(); ++slot) {
                if (!e.pictures[slot - 1])
                    continue;
                const QImage a = DrawDemoSlot(e, slot), b = DrawDemoSlot(e, slot);
                QVERIFY2(a == b, qPrintable(QStringLiteral("%1 slot %2").arg(e.name).arg(slot)));
                break;
            }
        }
    }
};

QTEST_MAIN(TestDemoCatalog)
#include "test_demo_catalog.moc"
