// The thumbnail strip's pool and cache: a cell shows exactly the pixels a fresh decode draws, cold or
// warm, and the cache never answers for other bytes (a replaced slot, a swapped catalogue) nor
// breaks the strip when it is damaged, read-only or cannot be made.
#include "data/PictureTransform.h"
#include "data/TCatalogConnection.h"
#include "data/UDataLibModule.h"
#include "frames/UFrame_ZYZJ.h"
#include "picture/ContentHash.h"
#include "picture/JpegHeaderCoding.h"
#include "widgets/TImage.h"
#include "picture/TJPEGImage.h"
#include "data/sqlite/TThumbnailCache.h"
#include "picture/ThumbnailCoding.h"
#include "support/SqliteShell.h"
#include "support/TestProgram.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <QScopeGuard>

#include <climits>
#include <functional>
#include <memory>

// Harms a filled thumbnail cache (path, then the program's folder); returns the path the program is
// then given for its cache, empty when the harm could not be done.
using TCacheHarm = std::function<QString(const QString &, const QString &)>;
Q_DECLARE_METATYPE(TCacheHarm)

using TestSupport::AddEntry;
using TestSupport::MakeJpeg;

namespace {

// What a cell of this size shows for the bytes when the picture is decoded as it is drawn, with no
// cache and no decoding ahead: the reference every other way must match pixel for pixel.
QImage freshlyDrawn(const QByteArray &jpegBytes, const QSize &size)
{
    QImage canvas(size, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::white);
    TJPEGImage picture;
    picture.LoadFromBytes(jpegBytes);
    QPainter painter(&canvas);
    picture.Draw(painter, QRect(QPoint(0, 0), size));
    return canvas;
}

QImage shown(TImage *cell)
{
    QImage canvas(cell->size(), QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::white);
    cell->render(&canvas);
    return canvas;
}

// Four slots of different shapes: reduced decodes at 1/8 and 1/4, a full-size one just above the cell,
// and one smaller than the cell (stretched, never shrunk).
QList<QByteArray> fourPictures(QColor colour)
{
    return {MakeJpeg(800, 600, colour), MakeJpeg(300, 260, colour), MakeJpeg(60, 70, colour), MakeJpeg(40, 30, colour)};
}

QList<std::optional<QByteArray>> asSlots(const QList<QByteArray> &pictures)
{
    QList<std::optional<QByteArray>> bytes;
    for (const QByteArray &p : pictures)
        bytes << p;
    return bytes;
}

// The stored (transformed) form of a plain picture, as the atlases keep it.
QByteArray storedForm(const QByteArray &plain)
{
    QByteArray stored = plain;
    for (auto &c : stored)
        c = char(PictureTransform::StoredFromPlain(std::uint8_t(c)));
    return stored;
}

bool deferred(TImage *cell)
{
    auto *jpeg = dynamic_cast<TJPEGImage *>(cell->Picture().Graphic());
    return jpeg && jpeg->Deferred();
}

struct Strip {
    std::unique_ptr<Tm_Frame_ZYZJ> frame;
    void show(TThumbnailCache *cache)
    {
        frame = std::make_unique<Tm_Frame_ZYZJ>();
        frame->SetThumbnailCache(cache);
        frame->ActivateFrame();
        frame->m_Button_DisplayPicClick();
    }
    // Compares every cell with a fresh decode of the pictures expected in it.
    void verifyShows(const QList<QByteArray> &pictures) const
    {
        for (int k = 1; k <= pictures.size(); ++k) {
            TImage *cell = frame->Cell(k);
            QVERIFY2(!cell->Picture().IsEmpty(), qPrintable(QStringLiteral("cell %1 is empty").arg(k)));
            QVERIFY2(shown(cell) == freshlyDrawn(pictures[k - 1], cell->size()),
                     qPrintable(QStringLiteral("cell %1 differs from a fresh decode of slot %1").arg(k)));
        }
    }
};


// An entry of four pictures whose strip was shown twice with an empty cache: the second time from
// it. `after` is a second set of the same sizes for the tests that change the slots behind its back.
struct StripSeenTwice {
    QTemporaryDir cacheDir;
    TThumbnailCache cache{cacheDir.filePath("thumbnails.sqlite")};
    const QList<QByteArray> before = fourPictures(QColor(200, 60, 40));
    const QList<QByteArray> after = fourPictures(QColor(30, 160, 70));
    TestSupport::TestProgram p;
    int sn = AddEntry(p.path, "ZYZJ", "e", "t", asSlots(before));
    Strip strip;
    StripSeenTwice()
    {
        p.start();
        strip.show(&cache);
        strip.show(&cache);
    }
};

} // namespace

class TestThumbnailCache : public QObject {
    Q_OBJECT
private slots:
    void contentHashIsTheStableSixtyFourBitHash_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<quint64>("seed");
        QTest::addColumn<quint64>("expected");
        QByteArray stripes;
        for (int r = 0; r < 3; ++r)
            for (int i = 0; i < 256; ++i)
                stripes.append(char(i));
        stripes.append("abc");
        QTest::newRow("empty") << QByteArray() << quint64(0) << quint64(0xef46db3751d8e999ULL);
        QTest::newRow("one byte") << QByteArray("a") << quint64(0) << quint64(0xd24ec4f1a98c6e5bULL);
        QTest::newRow("tail of eight and four") << QByteArray("0123456789ab") << quint64(0) << quint64(0x862e292326b8a4fcULL);
        QTest::newRow("stripes and a tail") << stripes << quint64(0) << quint64(0xd12812566a2cbcb1ULL);
        QTest::newRow("seeded") << QByteArray("abcdefghijklmnopqrstuvwxyz0123456789") << quint64(7)
                                << quint64(0xe594210dba2a826aULL);
    }
    void contentHashIsTheStableSixtyFourBitHash()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(quint64, seed);
        QFETCH(quint64, expected);
        QCOMPARE(ContentHash::Of(bytes, seed), expected);
    }

    void codingKeepsExactPixelsAndRefusesDamage_data()
    {
        QTest::addColumn<int>("format");
        QTest::newRow("colour") << int(QImage::Format_RGB32);
        QTest::newRow("with alpha") << int(QImage::Format_ARGB32);
        QTest::newRow("grey") << int(QImage::Format_Grayscale8);
        QTest::newRow("24-bit rows with padding") << int(QImage::Format_RGB888);
    }
    void codingKeepsExactPixelsAndRefusesDamage()
    {
        QFETCH(int, format);
        QImage image(55, 66, QImage::Format(format));
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixelColor(x, y, QColor((x * 37 + y) % 256, (y * 11) % 256, (x * y) % 256, 128 + (x % 128)));
        // The note carries the JPEG header a cell needs to stand for its picture without its bytes.
        const JpegDecoder::THeader header = JpegDecoder::ReadHeader(MakeJpeg(803, 601, Qt::red));
        const QByteArray note = JpegHeaderCoding::Encode(header);
        const QByteArray coded = ThumbnailCoding::Encode(image, note);
        QVERIFY(!coded.isEmpty());
        QByteArray noteBack;
        const QImage back = ThumbnailCoding::Decode(coded, &noteBack);
        QCOMPARE(back.format(), image.format());
        QCOMPARE(back, image);
        QCOMPARE(noteBack, note);
        const std::optional<JpegDecoder::THeader> headerBack = JpegHeaderCoding::Decode(noteBack);
        QVERIFY(headerBack);
        for (int scale = 0; scale < 4; ++scale) {
            QCOMPARE(headerBack->outWidth[scale], header.outWidth[scale]);
            QCOMPARE(headerBack->outHeight[scale], header.outHeight[scale]);
        }
        QCOMPARE(headerBack->imageWidth, 803);
        QCOMPARE(headerBack->components, header.components);
        QCOMPARE(headerBack->coefficientBytes, header.coefficientBytes);
        // Any single damaged byte, in the header, the note or the pixel data, gives no picture at all.
        for (int at = 0; at < coded.size(); at += (at < 40 + note.size() ? 1 : qMax(1, int(coded.size() / 97)))) {
            QByteArray damaged = coded;
            damaged[at] = char(damaged[at] ^ 0x5a);
            QVERIFY2(ThumbnailCoding::Decode(damaged).isNull(), qPrintable(QStringLiteral("damage at %1 accepted").arg(at)));
        }
        QVERIFY(ThumbnailCoding::Decode(coded.left(coded.size() - 1)).isNull());
    }

    void evictsTheLeastRecentlyUsedWithinItsBudget()
    {
        QTemporaryDir dir;
        QImage image(55, 66, QImage::Format_RGB32);
        auto picture = [&](int i) {
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    image.setPixel(x, y, qRgb((x * i) % 256, (y * 7 + i) % 256, (x ^ y ^ i) % 256));
            return image;
        };
        const qint64 one = ThumbnailCoding::Encode(picture(1)).size();
        const qint64 budget = one * 10;
        TThumbnailCache cache(dir.filePath("t.sqlite"), budget);
        auto key = [](int i) { return QByteArray("k") + QByteArray::number(i); };
        for (int i = 0; i < 8; ++i)
            cache.Store(key(i), picture(i));
        QCOMPARE(cache.Find(key(0)), picture(0)); // the oldest, now the most recently used
        for (int i = 8; i < 30; ++i) {
            cache.Store(key(i), picture(i));
            QVERIFY(cache.StoredBytes() <= budget);
        }
        QVERIFY(QFileInfo(dir.filePath("t.sqlite")).size() < budget * 4);
        QVERIFY(cache.Find(key(1)).isNull()); // evicted
        QCOMPARE(cache.Find(key(29)), picture(29));
        QVERIFY(cache.Find(QByteArray("never stored")).isNull());

        // Kept across runs: a new cache on the same file finds what is left.
        TThumbnailCache again(dir.filePath("t.sqlite"), budget);
        QCOMPARE(again.Find(key(29)), picture(29));
    }

    void coldAndWarmStripsShowTheSamePixelsAsAFreshDecode_data()
    {
        QTest::addColumn<bool>("withCache");
        QTest::newRow("no cache") << false;
        QTest::newRow("cache, cold then warm") << true;
    }
    void coldAndWarmStripsShowTheSamePixelsAsAFreshDecode()
    {
        QFETCH(bool, withCache);
        TestSupport::TestProgram p;
        const QList<QByteArray> pictures = fourPictures(QColor(200, 60, 40));
        AddEntry(p.path, "ZYZJ", "e", "t", asSlots(pictures));
        p.start();
        TThumbnailCache cache(p.dir.filePath("cache/thumbnails.sqlite"));
        Strip strip;
        strip.show(withCache ? &cache : nullptr);
        strip.verifyShows(pictures);
        if (!withCache)
            return;
        QCOMPARE(cache.Hits(), 0);
        strip.show(&cache);
        strip.verifyShows(pictures);
        // Two of the four come from the cache: the two that a reduced decode covers. The others are
        // drawn from their full decode and are not kept.
        QCOMPARE(cache.Hits(), 2);
        // A clicked cell gives the preview the whole picture, not the small one.
        QTest::mouseClick(strip.frame->Cell(1), Qt::LeftButton);
        QCOMPARE(strip.frame->Preview()->Picture().Width(), 800);
        QVERIFY(p.errors.isEmpty());
    }

    void aCachedPictureIsUsedOnlyForTheSameBytes_data()
    {
        QTest::addColumn<bool>("swapCatalogue");
        QTest::newRow("a slot replaced") << false;
        QTest::newRow("another catalogue under the same name") << true;
    }
    void aCachedPictureIsUsedOnlyForTheSameBytes()
    {
        QFETCH(bool, swapCatalogue);
        // Same sizes, same entry number, same slots: only the bytes differ.
        StripSeenTwice seen;
        auto &[cacheDir, cache, before, after, p, sn, strip] = seen;
        strip.verifyShows(before);
        QCOMPARE(cache.Hits(), 2); // the cache is in use: a key blind to the bytes would show `before`
        strip.frame.reset();

        if (swapCatalogue) {
            QTemporaryDir other;
            const QString otherPath = other.filePath("KVRJetLib.mdb");
            TestSupport::MakeCatalogue(otherPath);
            QCOMPARE(AddEntry(otherPath, "ZYZJ", "e", "t", asSlots(after)), sn);
            // Copied over the catalogue the program has open, then opened again under the same name.
            TCatalogConnection *connection = m_DataLibModule->m_ADOConnection_KVR;
            connection->SetConnected(false);
            QVERIFY(QFile::remove(p.path));
            QVERIFY(QFile::copy(otherPath, p.path));
            connection->SetConnected(true);
            strip.show(&cache);
            strip.verifyShows(after);
        } else {
            for (int k = 1; k <= 4; ++k) {
                QByteArray stored = after[k - 1];
                for (auto &c : stored)
                    c = char(PictureTransform::StoredFromPlain(std::uint8_t(c)));
                TestSupport::SetRawSlot(p.path, "ZYZJ", sn, k, stored);
            }
            strip.show(&cache);
            strip.verifyShows(after);
        }
        QVERIFY(p.errors.isEmpty());
    }

    // The catalogue keeps a hash beside each picture, so a strip seen before is shown without reading
    // a picture byte. Each row changes the catalogue behind the store's back the way another program
    // would, with the sqlite3 shell; the strip must never show what the old hash stood for.
    void aWarmStripReadsNoBytesAndNeverTrustsAStaleHash_data()
    {
        QTest::addColumn<QString>("first");     // run once
        QTest::addColumn<QString>("eachSlot");  // run for every slot: %file holds its new bytes, %id is its picture
        QTest::addColumn<bool>("newPictures");   // whether the slots then hold `after`
        QTest::addColumn<bool>("stillDeferred"); // whether the next strip still reads no bytes
        const QString rewrite = "UPDATE KVR_PictureData SET Bytes = readfile(%file) WHERE PictureID = %id";
        QTest::newRow("nothing") << "" << "" << false << true;
        QTest::newRow("bytes rewritten") << "" << rewrite << true << false;
        QTest::newRow("bytes rewritten, old hash copied along")
            << "" << "UPDATE KVR_PictureData SET Bytes = readfile(%file), BytesHash = BytesHash WHERE PictureID = %id"
            << true << false;
        QTest::newRow("bytes rewritten as a new row")
            << "" << "REPLACE INTO KVR_PictureData (PictureID, Bytes) VALUES (%id, readfile(%file))" << true << false;
        QTest::newRow("hash column emptied") << "UPDATE KVR_PictureData SET BytesHash = NULL" << "" << false << false;
        QTest::newRow("trigger dropped, then bytes rewritten")
            << "DROP TRIGGER KVR_PictureData_bytes_written" << rewrite << true << false;
        QTest::newRow("column dropped, then bytes rewritten")
            << "DROP TRIGGER KVR_PictureData_bytes_written; ALTER TABLE KVR_PictureData DROP COLUMN BytesHash" << rewrite
            << true << false;
    }
    void aWarmStripReadsNoBytesAndNeverTrustsAStaleHash()
    {
        QFETCH(QString, first);
        QFETCH(QString, eachSlot);
        QFETCH(bool, newPictures);
        QFETCH(bool, stillDeferred);
        StripSeenTwice seen;
        auto &[cacheDir, cache, before, after, p, sn, strip] = seen;
        strip.verifyShows(before);
        QCOMPARE(cache.Hits(), 2);
        // The two cached cells were filled and painted without their bytes.
        QVERIFY(deferred(strip.frame->Cell(1)));
        QVERIFY(deferred(strip.frame->Cell(2)));
        QVERIFY(!deferred(strip.frame->Cell(3)));

        QStringList sql;
        if (!first.isEmpty())
            sql << first;
        for (int k = 1; k <= 4 && !eachSlot.isEmpty(); ++k) {
            const QString file = p.dir.filePath(QStringLiteral("after%1.bin").arg(k));
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(storedForm(after[k - 1]));
            f.close();
            sql << QString(eachSlot)
                       .replace("%file", "'" + file + "'")
                       .replace("%id", QStringLiteral("(SELECT pic%1 FROM KVR_ZYZJPicture WHERE RecordSN = %2)").arg(k).arg(sn));
        }
        if (!sql.isEmpty())
            QCOMPARE(SqliteShell::Run(p.path, sql.join(";\n")), QString());

        strip.show(&cache);
        strip.verifyShows(newPictures ? after : before);
        QCOMPARE(deferred(strip.frame->Cell(1)), stillDeferred);
        // A clicked cell gives the preview the whole picture, read now.
        QTest::mouseClick(strip.frame->Cell(1), Qt::LeftButton);
        TImage *preview = strip.frame->Preview();
        QCOMPARE(shown(preview), freshlyDrawn((newPictures ? after : before)[0], preview->size()));
        QVERIFY(p.errors.isEmpty());
    }

    // A cell shown from the cache reads its bytes only when clicked: if they were written in between,
    // the preview refuses them instead of showing a picture other than the cell's.
    void aCellNeverEnlargesBytesOtherThanItsThumbnails()
    {
        StripSeenTwice seen;
        auto &[cacheDir, cache, before, after, p, sn, strip] = seen;
        QVERIFY(deferred(strip.frame->Cell(1)));
        const QString file = p.dir.filePath("after1.bin");
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(storedForm(after[0]));
        f.close();
        QCOMPARE(SqliteShell::Run(p.path, QStringLiteral("UPDATE KVR_PictureData SET Bytes = readfile('%1') WHERE PictureID = "
                                                         "(SELECT pic1 FROM KVR_ZYZJPicture WHERE RecordSN = %2)")
                                              .arg(file)
                                              .arg(sn)),
                 QString());
        QTest::mouseClick(strip.frame->Cell(1), Qt::LeftButton);
        TImage *preview = strip.frame->Preview();
        QVERIFY(shown(preview) != freshlyDrawn(after[0], preview->size()));
        QImage nothing(preview->size(), QImage::Format_ARGB32_Premultiplied);
        nothing.fill(Qt::white);
        QCOMPARE(shown(preview), nothing); // no picture at all
        // Shown again, the strip has the new picture, and so has the preview.
        strip.show(&cache);
        strip.verifyShows(QList<QByteArray>{after[0], before[1], before[2], before[3]});
        QTest::mouseClick(strip.frame->Cell(1), Qt::LeftButton);
        preview = strip.frame->Preview();
        QCOMPARE(shown(preview), freshlyDrawn(after[0], preview->size()));
        QVERIFY(p.errors.isEmpty());
    }

    // An older catalogue, without the hash column, is browsed as before (read-only too), and gets the
    // column with its first change, in that change's transaction: the pictures written from then on
    // are shown warm without reading them, the others are read and found by their own hash.
    void anOlderCatalogueKeepsHashesFromItsFirstChange()
    {
        const QList<QByteArray> before = fourPictures(QColor(200, 60, 40));
        const QList<QByteArray> after = fourPictures(QColor(30, 160, 70));
        TestSupport::TestProgram p;
        const int sn = AddEntry(p.path, "ZYZJ", "e", "t", asSlots(before));
        QCOMPARE(SqliteShell::Run(p.path, "DROP TRIGGER KVR_PictureData_bytes_written;"
                                          "ALTER TABLE KVR_PictureData DROP COLUMN BytesHash"),
                 QString());
        QVERIFY(QFile::setPermissions(p.path, QFile::ReadOwner | QFile::ReadGroup));
        p.start();
        QTemporaryDir cacheDir;
        TThumbnailCache cache(cacheDir.filePath("thumbnails.sqlite"));
        Strip strip;
        strip.show(&cache);
        strip.show(&cache);
        strip.verifyShows(before);
        QCOMPARE(cache.Hits(), 2);
        QVERIFY(!deferred(strip.frame->Cell(1)));

        QVERIFY(QFile::setPermissions(p.path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
        TestSupport::SetRawSlot(p.path, "ZYZJ", sn, 1, storedForm(after[0]));
        const QString hashed = "select count(*) from KVR_PictureData where BytesHash is not null";
        QCOMPARE(TestSupport::SelectRows(p.path, hashed).Value(0, 0).toInt(), 1);
        const QList<QByteArray> now{after[0], before[1], before[2], before[3]};
        strip.show(&cache);
        strip.show(&cache);
        strip.verifyShows(now);
        QVERIFY(deferred(strip.frame->Cell(1)));  // hashed with the change
        QVERIFY(!deferred(strip.frame->Cell(2))); // from before it: read, and found by its own hash
        QVERIFY(p.errors.isEmpty());
    }

    void aDamagedOrReadOnlyCacheNeverChangesWhatIsShown_data()
    {
        // harm: done to a filled cache; returns the path the program is then given for its cache.
        // readOnly: the cache must be read but never written. hits: those of the second round
        // (-1: not known, the cache being unusable).
        QTest::addColumn<TCacheHarm>("harm");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<int>("hits");
        const auto scramble = [](int from, int to) -> TCacheHarm {
            return [=](const QString &cachePath, const QString &) {
                QFile file(cachePath);
                if (!file.open(QIODevice::ReadWrite))
                    return QString();
                QByteArray damaged = file.readAll();
                for (int i = from; i < qMin(to, int(damaged.size())); ++i)
                    damaged[i] = char(damaged[i] ^ (0x35 + i % 7));
                file.seek(0);
                file.write(damaged);
                return cachePath;
            };
        };
        const auto readOnly = [](const QString &cachePath, const QString &) {
            QFile::setPermissions(cachePath, QFile::ReadOwner | QFile::ReadGroup);
            QFile::setPermissions(QFileInfo(cachePath).absolutePath(),
                                  QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup);
            return cachePath;
        };
        // A plain file (the catalogue) where the cache's folder should be.
        const auto noFolder = [](const QString &, const QString &programDir) {
            return programDir + "/KVRJetLib.mdb/tavelin/thumbnails.sqlite";
        };
        // Both entries in the second round, made good again by the first.
        QTest::newRow("header overwritten") << scramble(0, 100) << false << 4;
        QTest::newRow("contents scrambled") << scramble(4096, INT_MAX) << false << 4;
        QTest::newRow("file and folder read-only") << TCacheHarm(readOnly) << true << 2;
        QTest::newRow("folder cannot be made") << TCacheHarm(noFolder) << false << -1;
    }
    void aDamagedOrReadOnlyCacheNeverChangesWhatIsShown()
    {
        QFETCH(TCacheHarm, harm);
        QFETCH(bool, readOnly);
        QFETCH(int, hits);
        QTemporaryDir cacheDir;
        const QString filledPath = cacheDir.filePath("tavelin/thumbnails.sqlite");
        const QList<QByteArray> pictures = fourPictures(QColor(90, 40, 200));
        TestSupport::TestProgram p;
        AddEntry(p.path, "ZYZJ", "e", "t", asSlots(pictures));
        const QList<QByteArray> others = fourPictures(QColor(240, 200, 20));
        AddEntry(p.path, "ZYZJ", "f", "t", asSlots(others));
        p.start();
        {
            TThumbnailCache filling(filledPath);
            Strip strip;
            strip.show(&filling);
        }
        QFile::remove(filledPath + "-wal");
        QFile::remove(filledPath + "-shm");
        const QByteArray original = [&] {
            QFile f(filledPath);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        QVERIFY(original.size() > 4096);
        const QString cachePath = harm(filledPath, p.dir.path());
        QVERIFY(!cachePath.isEmpty());
        const auto writableAgain = qScopeGuard([&] {
            QFile::setPermissions(QFileInfo(filledPath).absolutePath(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        });

        for (int round = 0; round < 2; ++round) {
            TThumbnailCache cache(cachePath);
            Strip strip;
            strip.show(&cache);
            strip.verifyShows(pictures);
            // The second entry was never shown: decoded, whatever the cache can do.
            strip.frame->ListQuery()->SetRecNo(1);
            strip.frame->m_Button_DisplayPicClick();
            strip.verifyShows(others);
            if (readOnly) {
                QVERIFY(!cache.Writable());
                QCOMPARE(cache.Hits(), 2); // still read
            }
            if (round == 1 && hits >= 0)
                QCOMPARE(cache.Hits(), hits);
        }
        if (readOnly) {
            QFile f(cachePath);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), original); // untouched
        }
        QVERIFY(p.errors.isEmpty());
    }
};

QTEST_MAIN(TestThumbnailCache)
#include "test_thumbnail_cache.moc"
