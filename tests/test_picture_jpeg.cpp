// The JPEG picture: header-only loading, the decoding options as libjpeg applies them, drawing
// into small targets at a reduced decode, copies, and damaged or hostile data.
#include "picture/JpegDecoder.h"
#include "picture/JpegEncoder.h"
#include "picture/TDecodeMemory.h"
#include "picture/TJPEGImage.h"
#include "platform/TMemoryStream.h"
#include "platform/TavelinError.h"
#include "support/JpegSurgery.h"
#include "support/TestSupport.h"

#include <QPainter>
#include <QScopeGuard>
#include <QSet>
#include <QtTest>

namespace {

// For tests of the work bounds: a slow machine (or a sanitizer build) must not reach the
// processor-time limit first and refuse for the other reason.
struct TimeLimitOutOfTheWay {
    TimeLimitOutOfTheWay() { JpegDecoder::SetTimeLimitForTesting(600000); }
    ~TimeLimitOutOfTheWay() { JpegDecoder::SetTimeLimitForTesting(0); }
    Q_DISABLE_COPY(TimeLimitOutOfTheWay)
};

QByteArray greyJpeg(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int v = (x * 255) / qMax(1, w - 1);
            img.setPixel(x, y, qRgb(v, v, v));
        }
    TJpegEncodeOptions o;
    o.grayscale = true;
    return EncodeJpeg(img, o);
}

QByteArray progressiveJpeg(int w, int h, bool arithmetic = false)
{
    QImage img = QImage::fromData(TestSupport::MakeJpeg(w, h));
    TJpegEncodeOptions o;
    o.progressive = true;
    o.arithmetic = arithmetic;
    return EncodeJpeg(img, o);
}

// The message of the error the call raises; empty when it raises none.
template <typename F>
QString errorOf(F &&call)
{
    try {
        call();
    } catch (const TavelinError &e) {
        return e.message();
    }
    return {};
}

// The grey levels libjpeg's one-pass quantizer gives for n levels: (j * 255 + (n-1)/2) / (n-1).
QSet<int> quantizerLevels(int n)
{
    QSet<int> levels;
    for (int j = 0; j < n; ++j)
        levels.insert((j * 255 + (n - 1) / 2) / (n - 1));
    return levels;
}

QImage drawInto(TJPEGImage &jpeg, QSize size)
{
    QImage canvas(size, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter p(&canvas);
    jpeg.Draw(p, QRect(QPoint(0, 0), size));
    p.end();
    return canvas;
}

// Mean difference of the two pictures' grey levels, over blocks of 8 x 8 pixels so that
// dithering evens out.
int meanGreyDifference(const QImage &a, const QImage &b)
{
    const QSize blocks(qMax(1, a.width() / 8), qMax(1, a.height() / 8));
    const QImage ga = a.convertToFormat(QImage::Format_RGB32)
                          .scaled(blocks, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                          .convertToFormat(QImage::Format_Grayscale8);
    const QImage gb = b.convertToFormat(QImage::Format_RGB32)
                          .scaled(blocks, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                          .convertToFormat(QImage::Format_Grayscale8);
    qint64 sum = 0;
    for (int y = 0; y < ga.height(); ++y)
        for (int x = 0; x < ga.width(); ++x)
            sum += qAbs(int(ga.constScanLine(y)[x]) - int(gb.constScanLine(y)[x]));
    return int(sum / (qint64(ga.width()) * ga.height()));
}

} // namespace

class TestPictureJpeg : public QObject {
    Q_OBJECT

private slots:
    void loadingReadsTheHeaderOnly();
    void outputSizeFollowsScale_data();
    void outputSizeFollowsScale();
    void loadFromStreamReadsFromThePosition();
    void emptyDataGivesAnEmptyPicture();

    void optionMapping_data();
    void optionMapping();
    void greyOutputHoldsTheQuantizedLevels();
    void speedDecodesDifferently();
    void settingAnOptionDiscardsOnlyWhenChanged();
    void cmykPicturesShowInColour();

    void scaleToCover_data();
    void scaleToCover();
    void drawingSmallUsesAReducedDecode();
    void drawingStretchesWithoutKeepingAspect();

    void copiesShareBytesButNotOptions();

    void notAJpegRaises_data();
    void notAJpegRaises();
    void damagedDataGivesAPartialPicture_data();
    void damagedDataGivesAPartialPicture();
    void failureAfterTheHeaderRaisesClearly_data();
    void failureAfterTheHeaderRaisesClearly();
    void oversizedHeaderIsRefusedButShownSmall();
    void memoryBoundCoversWorkingMemoryAndOutputTogether();
    void memoryBoundHoldsForAllPicturesAtOnce();
    void cellsKeepOnlyTheirDisplaySize();
    void workIsBoundedForEveryCoding_data();
    void workIsBoundedForEveryCoding();
    void decodeIsGivenUpAtItsTimeLimit();
    void tooManyScansAreRefused();
};

void TestPictureJpeg::loadingReadsTheHeaderOnly()
{
    const QByteArray bytes = TestSupport::MakeJpeg(640, 480);
    TJPEGImage jpeg;
    jpeg.LoadFromBytes(bytes);
    QVERIFY(!jpeg.IsEmpty());
    QCOMPARE(jpeg.Width(), 640);
    QCOMPARE(jpeg.Height(), 480);
    QCOMPARE(jpeg.ImageWidth(), 640);
    QVERIFY(!jpeg.Decoded());
    // The bytes are kept as they are, not re-encoded, and not even copied.
    QCOMPARE(jpeg.CompressedData(), bytes);
    QCOMPARE(jpeg.CompressedData().constData(), bytes.constData());
    TMemoryStream out;
    jpeg.SaveToStream(out);
    QCOMPARE(out.Bytes(), bytes);
    QVERIFY(!jpeg.Decoded());

    const QImage image = jpeg.Image();
    QVERIFY(jpeg.Decoded());
    QCOMPARE(image.size(), QSize(640, 480));
}

void TestPictureJpeg::outputSizeFollowsScale_data()
{
    QTest::addColumn<QSize>("image");
    QTest::addColumn<int>("scale");
    QTest::addColumn<QSize>("expected");
    QTest::newRow("full") << QSize(643, 481) << 0 << QSize(643, 481);
    QTest::newRow("half, odd sizes round up") << QSize(643, 481) << 1 << QSize(322, 241);
    QTest::newRow("quarter") << QSize(643, 481) << 2 << QSize(161, 121);
    QTest::newRow("eighth") << QSize(643, 481) << 3 << QSize(81, 61);
    QTest::newRow("eighth of a tiny picture") << QSize(5, 3) << 3 << QSize(1, 1);
}

void TestPictureJpeg::outputSizeFollowsScale()
{
    QFETCH(QSize, image);
    QFETCH(int, scale);
    QFETCH(QSize, expected);
    TJPEGImage jpeg;
    jpeg.LoadFromBytes(TestSupport::MakeJpeg(image.width(), image.height()));
    jpeg.SetScale(static_cast<TJPEGScale>(scale));
    QCOMPARE(QSize(jpeg.Width(), jpeg.Height()), expected);
    QVERIFY(!jpeg.Decoded());
    QCOMPARE(jpeg.Image().size(), expected);
}

void TestPictureJpeg::loadFromStreamReadsFromThePosition()
{
    const QByteArray bytes = TestSupport::MakeJpeg(40, 30);
    TMemoryStream stream;
    stream.Write(QByteArray("prefix"));
    stream.Write(bytes);
    stream.SetPosition(6);
    TJPEGImage jpeg;
    jpeg.LoadFromStream(stream);
    QCOMPARE(jpeg.CompressedData(), bytes);
    QCOMPARE(stream.Position(), stream.Size());
}

void TestPictureJpeg::emptyDataGivesAnEmptyPicture()
{
    TJPEGImage jpeg;
    jpeg.LoadFromBytes(TestSupport::MakeJpeg(40, 30));
    jpeg.LoadFromBytes(QByteArray());
    QVERIFY(jpeg.IsEmpty());
    QCOMPARE(jpeg.Width(), 0);
    QVERIFY(jpeg.Image().isNull());
    QImage canvas(10, 10, QImage::Format_RGB32);
    QPainter p(&canvas);
    jpeg.Draw(p, canvas.rect()); // nothing to draw, nothing raised
}

void TestPictureJpeg::optionMapping_data()
{
    QTest::addColumn<bool>("greySource");
    QTest::addColumn<int>("pixelFormat");
    QTest::addColumn<bool>("grey");
    QTest::addColumn<int>("performance");
    QTest::addColumn<int>("scale");
    QTest::addColumn<int>("format");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("paletteSize");

    const int rgb = QImage::Format_RGB32, indexed = QImage::Format_Indexed8, grey = QImage::Format_Grayscale8;
    // Colour source, 320 x 240.
    QTest::newRow("24-bit, quality") << false << 0 << false << 0 << 0 << rgb << QSize(320, 240) << 0;
    QTest::newRow("24-bit, speed") << false << 0 << false << 1 << 0 << rgb << QSize(320, 240) << 0;
    // Two-pass quantization picks 236 colours for the picture.
    QTest::newRow("8-bit, quality") << false << 1 << false << 0 << 0 << indexed << QSize(320, 240) << 236;
    // One-pass quantization (the speed setting) uses a fixed 6 x 6 x 6 colour cube: 216 <= 236.
    QTest::newRow("8-bit, speed") << false << 1 << false << 1 << 0 << indexed << QSize(320, 240) << 216;
    QTest::newRow("8-bit, half") << false << 1 << false << 0 << 1 << indexed << QSize(160, 120) << 236;
    QTest::newRow("grey") << false << 0 << true << 0 << 0 << grey << QSize(320, 240) << 0;
    QTest::newRow("grey, 8-bit") << false << 1 << true << 0 << 0 << grey << QSize(320, 240) << 0;
    QTest::newRow("grey, speed, eighth") << false << 0 << true << 1 << 3 << grey << QSize(40, 30) << 0;
    QTest::newRow("24-bit, quarter") << false << 0 << false << 0 << 2 << rgb << QSize(80, 60) << 0;
    // Grey source: stays grey in 24-bit mode, takes a grey palette in 8-bit mode.
    QTest::newRow("grey source, 24-bit") << true << 0 << false << 0 << 0 << grey << QSize(320, 240) << 0;
    QTest::newRow("grey source, 8-bit") << true << 1 << false << 0 << 0 << indexed << QSize(320, 240) << 236;
    QTest::newRow("grey source, grey") << true << 0 << true << 0 << 0 << grey << QSize(320, 240) << 0;
}

void TestPictureJpeg::optionMapping()
{
    QFETCH(bool, greySource);
    QFETCH(int, pixelFormat);
    QFETCH(bool, grey);
    QFETCH(int, performance);
    QFETCH(int, scale);
    QFETCH(int, format);
    QFETCH(QSize, size);
    QFETCH(int, paletteSize);

    TJPEGImage jpeg;
    jpeg.LoadFromBytes(greySource ? greyJpeg(320, 240) : TestSupport::MakeJpeg(320, 240));
    jpeg.SetPixelFormat(static_cast<TJPEGPixelFormat>(pixelFormat));
    jpeg.SetGrayscale(grey);
    jpeg.SetPerformance(static_cast<TJPEGPerformance>(performance));
    jpeg.SetScale(static_cast<TJPEGScale>(scale));
    QCOMPARE(QSize(jpeg.Width(), jpeg.Height()), size);

    const QImage image = jpeg.Image();
    QCOMPARE(int(image.format()), format);
    QCOMPARE(image.size(), size);
    QCOMPARE(image.colorCount(), paletteSize);
    QVERIFY(!image.hasAlphaChannel());
    if (format == QImage::Format_Indexed8) {
        // Every pixel indexes the palette.
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                QVERIFY(image.constScanLine(y)[x] < paletteSize);
    }
    // Whatever the options, the picture still looks like itself.
    TJPEGImage reference;
    reference.LoadFromBytes(jpeg.CompressedData());
    reference.SetScale(jpeg.Scale());
    const int difference = meanGreyDifference(image, reference.Image());
    QVERIFY2(difference < 6, qPrintable(QStringLiteral("differs from the reference by %1").arg(difference)));
}

void TestPictureJpeg::greyOutputHoldsTheQuantizedLevels()
{
    // Grey output is quantized to 236 levels; the picture must hold those grey values, not the
    // palette indexes libjpeg produced (which would darken it: white would be 235).
    TJPEGImage jpeg;
    jpeg.LoadFromBytes(greyJpeg(256, 16));
    jpeg.SetGrayscale(true);
    const QImage image = jpeg.Image();
    QCOMPARE(image.format(), QImage::Format_Grayscale8);
    const QSet<int> allowed = quantizerLevels(236);
    QSet<int> seen;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            seen.insert(image.constScanLine(y)[x]);
    QVERIFY(seen.size() > 100);
    for (int v : seen)
        QVERIFY2(allowed.contains(v), qPrintable(QString::number(v)));
    QVERIFY(seen.contains(255));
    QVERIFY(seen.contains(0));
}

void TestPictureJpeg::speedDecodesDifferently()
{
    // The fast DCT changes pixels: the option really reaches libjpeg.
    TJPEGImage jpeg;
    jpeg.LoadFromBytes(TestSupport::MakeJpeg(200, 150));
    const QImage quality = jpeg.Image();
    jpeg.SetPerformance(TJPEGPerformance::jpBestSpeed);
    const QImage speed = jpeg.Image();
    QCOMPARE(speed.size(), quality.size());
    QVERIFY(speed != quality);
}

void TestPictureJpeg::settingAnOptionDiscardsOnlyWhenChanged()
{
    TJPEGImage jpeg;
    jpeg.LoadFromBytes(TestSupport::MakeJpeg(80, 60));
    jpeg.Image();
    QVERIFY(jpeg.Decoded());
    // The same values again keep the decoded image.
    jpeg.SetScale(TJPEGScale::jsFullSize);
    jpeg.SetPixelFormat(TJPEGPixelFormat::jf24Bit);
    jpeg.SetGrayscale(false);
    jpeg.SetPerformance(TJPEGPerformance::jpBestQuality);
    jpeg.SetProgressiveDisplay(false);
    QVERIFY(jpeg.Decoded());

    jpeg.SetPixelFormat(TJPEGPixelFormat::jf8Bit);
    QVERIFY(!jpeg.Decoded());
    QCOMPARE(jpeg.Image().format(), QImage::Format_Indexed8);
    jpeg.SetGrayscale(true);
    QVERIFY(!jpeg.Decoded());
    jpeg.Image();
    jpeg.SetPerformance(TJPEGPerformance::jpBestSpeed);
    QVERIFY(!jpeg.Decoded());
    jpeg.Image();
    jpeg.SetScale(TJPEGScale::jsHalf);
    QVERIFY(!jpeg.Decoded());
    QCOMPARE(jpeg.Image().size(), QSize(40, 30));
}

void TestPictureJpeg::cmykPicturesShowInColour()
{
    // libjpeg hands out CMYK as it is stored; the picture turns it into RGB itself.
    QImage src(64, 32, QImage::Format_RGB32);
    src.fill(QColor(30, 60, 200));
    QPainter(&src).fillRect(0, 0, 32, 32, QColor(220, 40, 30));
    TJpegEncodeOptions o;
    o.cmyk = true;
    o.quality = 95;
    TJPEGImage jpeg;
    jpeg.LoadFromBytes(EncodeJpeg(src, o));
    const auto near = [](QColor a, QColor b) {
        return qAbs(a.red() - b.red()) < 12 && qAbs(a.green() - b.green()) < 12 && qAbs(a.blue() - b.blue()) < 12;
    };
    QImage image = jpeg.Image();
    QCOMPARE(image.format(), QImage::Format_RGB32);
    QVERIFY2(near(image.pixelColor(8, 16), QColor(220, 40, 30)), qPrintable(image.pixelColor(8, 16).name()));
    QVERIFY2(near(image.pixelColor(56, 16), QColor(30, 60, 200)), qPrintable(image.pixelColor(56, 16).name()));

    jpeg.SetPixelFormat(TJPEGPixelFormat::jf8Bit);
    image = jpeg.Image();
    QCOMPARE(image.format(), QImage::Format_Indexed8);
    QVERIFY(image.colorCount() <= 256);
    QVERIFY(qAbs(image.pixelColor(8, 16).red() - 220) < 40);

    jpeg.SetGrayscale(true);
    image = jpeg.Image();
    QCOMPARE(image.format(), QImage::Format_Grayscale8);
    QVERIFY(qGray(image.pixel(8, 16)) > qGray(image.pixel(56, 16)) + 10); // the red half is lighter

    jpeg.SetScale(TJPEGScale::jsHalf);
    QCOMPARE(jpeg.Image().size(), QSize(32, 16));
}

void TestPictureJpeg::scaleToCover_data()
{
    QTest::addColumn<int>("currentScale");
    QTest::addColumn<QSize>("target");
    QTest::addColumn<int>("expected");
    // A 4000 x 3000 picture: 500 x 375 at 1/8, 1000 x 750 at 1/4, 2000 x 1500 at 1/2.
    QTest::newRow("thumbnail cell") << 0 << QSize(55, 66) << 3;
    QTest::newRow("exactly the eighth") << 0 << QSize(500, 375) << 3;
    QTest::newRow("one pixel wider than the eighth") << 0 << QSize(501, 300) << 2;
    QTest::newRow("taller than the quarter") << 0 << QSize(100, 751) << 1;
    QTest::newRow("full size") << 0 << QSize(4000, 3000) << 0;
    QTest::newRow("larger than the picture") << 0 << QSize(5000, 100) << 0;
    QTest::newRow("never beyond the chosen scale") << 1 << QSize(3000, 2000) << 1;
    QTest::newRow("reduces from the chosen scale") << 2 << QSize(55, 66) << 3;
}

void TestPictureJpeg::scaleToCover()
{
    QFETCH(int, currentScale);
    QFETCH(QSize, target);
    QFETCH(int, expected);
    TJPEGImage jpeg;
    jpeg.LoadFromBytes(TestSupport::MakeJpeg(4000, 3000, QColor(200, 60, 40), 30));
    jpeg.SetScale(static_cast<TJPEGScale>(currentScale));
    QCOMPARE(int(jpeg.ScaleToCover(target)), expected);
}

void TestPictureJpeg::drawingSmallUsesAReducedDecode()
{
    TJPEGImage jpeg;
    jpeg.LoadFromBytes(TestSupport::MakeJpeg(4000, 3000, QColor(200, 60, 40), 30));
    const QImage cell = drawInto(jpeg, QSize(55, 66));
    QVERIFY(!jpeg.Decoded());
    // Decoded at 1/8 (500 x 375), but only the cell's own pixels are kept.
    QCOMPARE(jpeg.ReducedSize(), QSize(55, 66));
    QCOMPARE(TDecodeMemory::InUse(), qint64(55 * 66 * 4));
    // The disc in the middle is drawn, in its colour.
    const QColor centre = cell.pixelColor(27, 33);
    QVERIFY2(qAbs(centre.red() - 200) < 25 && qAbs(centre.green() - 60) < 25 && qAbs(centre.blue() - 40) < 25,
             qPrintable(centre.name()));

    // A larger target takes the next reduction that still covers it.
    drawInto(jpeg, QSize(1200, 700));
    QVERIFY(!jpeg.Decoded());
    QCOMPARE(jpeg.ReducedSize(), QSize(1200, 700));

    // Shown at full size, the picture is decoded in full.
    drawInto(jpeg, QSize(4000, 3000));
    QVERIFY(jpeg.Decoded());

    // At a chosen scale, a target of that size uses the scale's own decode.
    jpeg.SetScale(TJPEGScale::jsQuarter);
    drawInto(jpeg, QSize(1000, 750));
    QVERIFY(jpeg.Decoded());
    QCOMPARE(jpeg.Image().size(), QSize(1000, 750));
}

void TestPictureJpeg::drawingStretchesWithoutKeepingAspect()
{
    // Left half red, right half blue, drawn into a tall narrow target.
    QImage src(200, 100, QImage::Format_RGB32);
    src.fill(Qt::blue);
    QPainter(&src).fillRect(0, 0, 100, 100, Qt::red);
    TJPEGImage jpeg;
    jpeg.LoadFromBytes(EncodeJpeg(src));
    const QImage out = drawInto(jpeg, QSize(40, 300));
    // The whole target is covered, each half on its own side.
    QVERIFY(out.pixelColor(3, 2).red() > 200);
    QVERIFY(out.pixelColor(3, 297).red() > 200);
    QVERIFY(out.pixelColor(36, 2).blue() > 200);
    QVERIFY(out.pixelColor(36, 297).blue() > 200);
}

void TestPictureJpeg::copiesShareBytesButNotOptions()
{
    TJPEGImage original;
    original.LoadFromBytes(TestSupport::MakeJpeg(320, 240));
    original.SetScale(TJPEGScale::jsHalf);
    original.Image();

    TJPEGImage copy(original);
    QCOMPARE(copy.CompressedData().constData(), original.CompressedData().constData());
    QCOMPARE(copy.Scale(), TJPEGScale::jsHalf); // options are copied ...
    QVERIFY(!copy.Decoded());                   // ... the decoded image is not

    copy.SetScale(TJPEGScale::jsEighth);
    copy.SetGrayscale(true);
    QCOMPARE(copy.Width(), 40);
    QCOMPARE(original.Scale(), TJPEGScale::jsHalf);
    QVERIFY(!original.Grayscale());
    QVERIFY(original.Decoded());
    QCOMPARE(original.Image().format(), QImage::Format_RGB32);
    QCOMPARE(copy.Image().format(), QImage::Format_Grayscale8);

    std::unique_ptr<TGraphic> clone = original.Clone();
    auto *jclone = dynamic_cast<TJPEGImage *>(clone.get());
    QVERIFY(jclone);
    QCOMPARE(jclone->CompressedData().constData(), original.CompressedData().constData());
    QVERIFY(!jclone->Decoded());
    jclone->SetPixelFormat(TJPEGPixelFormat::jf8Bit);
    QCOMPARE(original.PixelFormat(), TJPEGPixelFormat::jf24Bit);

    TJPEGImage assigned;
    assigned = copy;
    QCOMPARE(assigned.Scale(), TJPEGScale::jsEighth);
    QVERIFY(assigned.Grayscale());
    QCOMPARE(assigned.CompressedData().constData(), original.CompressedData().constData());
}

void TestPictureJpeg::notAJpegRaises_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("text") << QByteArray("this is not a picture");
    QTest::newRow("PNG signature") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
    QTest::newRow("SOI only") << QByteArray("\xFF\xD8", 2);
    QTest::newRow("cut inside the header") << JpegSurgery::CutAt(TestSupport::MakeJpeg(64, 64), 40);
    QTest::newRow("transformed bytes") << [] {
        QByteArray b = TestSupport::MakeJpeg(64, 64);
        for (char &c : b)
            c = char(~c);
        return b;
    }();
}

void TestPictureJpeg::notAJpegRaises()
{
    QFETCH(QByteArray, bytes);
    TJPEGImage jpeg;
    jpeg.LoadFromBytes(TestSupport::MakeJpeg(40, 30));
    try {
        jpeg.LoadFromBytes(bytes);
        QFAIL("no error raised");
    } catch (const TavelinError &e) {
        QVERIFY2(e.message().contains(QLatin1String("JPEG")), qPrintable(e.message()));
    }
    // A failed load leaves the picture empty.
    QVERIFY(jpeg.IsEmpty());
    QCOMPARE(jpeg.Width(), 0);
}

void TestPictureJpeg::damagedDataGivesAPartialPicture_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("size");
    const QByteArray baseline = TestSupport::MakeJpeg(320, 240);
    const QByteArray progressive = progressiveJpeg(320, 240);
    const qsizetype data = JpegSurgery::ScanDataStart(baseline);
    QTest::newRow("baseline cut in half") << JpegSurgery::CutAt(baseline, baseline.size() / 2) << QSize(320, 240);
    QTest::newRow("baseline cut after the scan header") << JpegSurgery::CutAt(baseline, data) << QSize(320, 240);
    QTest::newRow("progressive cut in half")
        << JpegSurgery::CutAt(progressive, progressive.size() / 2) << QSize(320, 240);
    QByteArray restartMarker = baseline;
    restartMarker[data + 300] = char(0xFF); // a restart marker where none belongs
    restartMarker[data + 301] = char(0xD3);
    QTest::newRow("stray marker in the data") << restartMarker << QSize(320, 240);
}

void TestPictureJpeg::damagedDataGivesAPartialPicture()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QSize, size);
    TJPEGImage jpeg;
    jpeg.LoadFromBytes(bytes); // the header is whole
    QCOMPARE(QSize(jpeg.Width(), jpeg.Height()), size);
    const QImage image = jpeg.Image();
    QCOMPARE(image.size(), size);
    QVERIFY2(!jpeg.DecodeWarning().isEmpty(), "the damage is not reported");
    // Drawing small decodes again (reduced) and meets the same damage without failing.
    drawInto(jpeg, QSize(40, 30));
    QVERIFY(!jpeg.DecodeWarning().isEmpty());

    // A whole picture decodes without a warning.
    TJPEGImage whole;
    whole.LoadFromBytes(TestSupport::MakeJpeg(64, 48));
    whole.Image();
    QVERIFY(whole.DecodeWarning().isEmpty());
}

void TestPictureJpeg::failureAfterTheHeaderRaisesClearly_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    const QByteArray baseline = TestSupport::MakeJpeg(64, 48);
    QTest::newRow("quantization table missing") << JpegSurgery::WithoutQuantTable0(baseline) << "table";
    QByteArray marker = baseline;
    const qsizetype data = JpegSurgery::ScanDataStart(baseline);
    marker[data + 100] = char(0xFF);
    marker[data + 101] = char(0x84);
    QTest::newRow("unknown marker in the data") << marker << "marker";
}

void TestPictureJpeg::failureAfterTheHeaderRaisesClearly()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    TJPEGImage jpeg;
    jpeg.LoadFromBytes(bytes);
    QCOMPARE(jpeg.Width(), 64);
    for (int attempt = 0; attempt < 2; ++attempt) { // the failure is remembered, not re-decoded
        try {
            jpeg.Image();
            QFAIL("no error raised");
        } catch (const TavelinError &e) {
            QVERIFY2(e.message().contains(QLatin1String("cannot be decoded")), qPrintable(e.message()));
            QVERIFY2(e.message().contains(reason), qPrintable(e.message()));
        }
    }
    QImage canvas(20, 20, QImage::Format_RGB32);
    QPainter p(&canvas);
    QVERIFY_THROWS_EXCEPTION(TavelinError, jpeg.Draw(p, canvas.rect()));
}

void TestPictureJpeg::oversizedHeaderIsRefusedButShownSmall()
{
    const QByteArray forged = JpegSurgery::WithForgedSize(TestSupport::MakeJpeg(64, 64), 20000, 20000);
    TJPEGImage jpeg;
    jpeg.LoadFromBytes(forged);
    QCOMPARE(jpeg.Width(), 20000);
    QCOMPARE(jpeg.Height(), 20000);
    const QString full = errorOf([&] { jpeg.Image(); });
    QVERIFY2(full.contains(QLatin1String("too large")) && full.contains(QLatin1String("memory")), qPrintable(full));
    QVERIFY(!jpeg.Decoded());
    QCOMPARE(TDecodeMemory::InUse(), qint64(0));

    // In a preview it decodes at 1/8 (2500 x 2500): the part the data holds is the picture, the
    // rest is libjpeg's fill, and the damage is noted.
    const QImage preview = drawInto(jpeg, QSize(400, 300));
    QCOMPARE(jpeg.ReducedSize(), QSize(400, 300));
    QVERIFY(!jpeg.DecodeWarning().isEmpty());
    QVERIFY(!preview.isNull());
    // As a thumbnail its 9 million blocks are more work than a cell may take.
    TJPEGImage cell;
    cell.LoadFromBytes(forged);
    const TimeLimitOutOfTheWay workAlone;
    QImage canvas55(55, 66, QImage::Format_RGB32);
    QPainter p55(&canvas55);
    const QString thumbnail = errorOf([&] { cell.Draw(p55, canvas55.rect()); });
    QVERIFY2(thumbnail.contains(QLatin1String("too long")), qPrintable(thumbnail));
    // The thumbnail's refusal is its own: the same picture still fills a preview.
    p55.end();
    drawInto(cell, QSize(400, 300));
    QCOMPARE(cell.ReducedSize(), QSize(400, 300));

    // A progressive picture needs its whole coefficient buffer even for a small output: refused.
    TJPEGImage progressive;
    progressive.LoadFromBytes(JpegSurgery::WithForgedSize(progressiveJpeg(64, 64), 65500, 65500));
    QImage canvas(55, 66, QImage::Format_RGB32);
    QPainter p(&canvas);
    const QString small = errorOf([&] { progressive.Draw(p, canvas.rect()); });
    QVERIFY2(small.contains(QLatin1String("memory")), qPrintable(small));
}

void TestPictureJpeg::memoryBoundCoversWorkingMemoryAndOutputTogether()
{
    // 16384 x 16383 at full size: an output just under 1 GiB, and libjpeg's coefficient buffer of
    // some 800 MiB besides. Each alone fits the bound; together they do not.
    const QByteArray forged = JpegSurgery::WithForgedSize(progressiveJpeg(64, 64), 16384, 16383);
    const JpegDecoder::THeader header = JpegDecoder::ReadHeader(forged);
    const JpegDecoder::TOptions atFullSize;
    QVERIFY(JpegDecoder::OutputBytes(header, atFullSize) <= TDecodeMemory::kLimit);
    QVERIFY(header.coefficientBytes > qint64(512) << 20);
    TJPEGImage jpeg;
    jpeg.LoadFromBytes(forged);
    const QString error = errorOf([&] { jpeg.Image(); });
    QVERIFY2(error.contains(QLatin1String("memory")), qPrintable(error));
    QCOMPARE(TDecodeMemory::InUse(), qint64(0));
}

void TestPictureJpeg::memoryBoundHoldsForAllPicturesAtOnce()
{
    // With a bound of 10 MiB, one 1024 x 1024 picture (4 MiB) is held; a second one, which needs
    // libjpeg's memory besides its own 4 MiB while it decodes, cannot be decoded beside it until the
    // first lets its image go. A failure for want of shared memory is not remembered as the picture's own.
    TDecodeMemory::SetLimitForTesting(qint64(10) << 20);
    const auto restore = qScopeGuard([] { TDecodeMemory::SetLimitForTesting(0); });
    const QByteArray bytes = TestSupport::MakeJpeg(1024, 1024);
    TJPEGImage first, second;
    first.LoadFromBytes(bytes);
    second.LoadFromBytes(bytes);
    QCOMPARE(first.Image().size(), QSize(1024, 1024));
    QCOMPARE(TDecodeMemory::InUse(), qint64(1024) * 1024 * 4);
    const QString busy = errorOf([&] { second.Image(); });
    QVERIFY2(busy.contains(QLatin1String("other pictures")), qPrintable(busy));
    QVERIFY(!second.Decoded());

    first.SetScale(TJPEGScale::jsHalf); // discards the full decode
    QCOMPARE(TDecodeMemory::InUse(), qint64(0));
    QCOMPARE(second.Image().size(), QSize(1024, 1024));
}

void TestPictureJpeg::cellsKeepOnlyTheirDisplaySize()
{
    // Seven cells showing one forged 8000 x 8000 header: each decodes at 1/8 (1000 x 1000,
    // 4 MiB) in turn, and keeps only its 55 x 66 pixels.
    const QByteArray forged = JpegSurgery::WithForgedSize(TestSupport::MakeJpeg(64, 64), 8000, 8000);
    TJPEGImage loaded;
    loaded.LoadFromBytes(forged);
    std::vector<std::unique_ptr<TGraphic>> cells;
    for (int k = 0; k < 7; ++k) {
        cells.push_back(loaded.Clone());
        QImage canvas(55, 66, QImage::Format_RGB32);
        QPainter p(&canvas);
        cells.back()->Draw(p, canvas.rect());
    }
    for (const auto &cell : cells)
        QCOMPARE(static_cast<TJPEGImage *>(cell.get())->ReducedSize(), QSize(55, 66));
    QCOMPARE(TDecodeMemory::InUse(), qint64(7) * 55 * 66 * 4);
    cells.clear();
    QCOMPARE(TDecodeMemory::InUse(), qint64(0));
}

void TestPictureJpeg::workIsBoundedForEveryCoding_data()
{
    // refused: whether the decode must be given up for its work ("too long").
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("scale");
    QTest::addColumn<bool>("refused");
    const QByteArray huffman = progressiveJpeg(1024, 1024);
    const QByteArray arithmetic = progressiveJpeg(1024, 1024, true);
    QTest::newRow("sound, Huffman") << huffman << 0 << false;
    QTest::newRow("sound, arithmetic") << arithmetic << 0 << false;
    QTest::newRow("40 scans, Huffman") << JpegSurgery::WithRepeatedLastScan(huffman, 40) << 3 << false;
    // The same scans, arithmetic-coded, cost several times more each.
    QTest::newRow("40 scans, arithmetic") << JpegSurgery::WithRepeatedLastScan(arithmetic, 40) << 3 << true;
    // Ten sound scans over a forged 16384 x 16383 picture: within its own passes, beyond any picture's.
    QTest::newRow("forged size, arithmetic")
        << JpegSurgery::WithForgedSize(progressiveJpeg(64, 64, true), 16384, 16383) << 3 << true;
}

void TestPictureJpeg::workIsBoundedForEveryCoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, scale);
    QFETCH(bool, refused);
    const TimeLimitOutOfTheWay workAlone;
    TJPEGImage jpeg;
    jpeg.LoadFromBytes(bytes);
    jpeg.SetScale(static_cast<TJPEGScale>(scale));
    const QString error = errorOf([&] { jpeg.Image(); });
    if (refused)
        QVERIFY2(error.contains(QLatin1String("too long")), qPrintable(error));
    else
        QVERIFY2(error.isEmpty(), qPrintable(error));
}

void TestPictureJpeg::decodeIsGivenUpAtItsTimeLimit()
{
    // Whatever the cost model misses, processor time ends the decode. A limit of 1 ms is reached
    // by any picture of some size; the next decode with the normal limit succeeds.
    const QByteArray bytes = progressiveJpeg(1600, 1600);
    JpegDecoder::SetTimeLimitForTesting(1);
    const auto restore = qScopeGuard([] { JpegDecoder::SetTimeLimitForTesting(0); });
    TJPEGImage jpeg;
    jpeg.LoadFromBytes(bytes);
    const QString error = errorOf([&] { jpeg.Image(); });
    QVERIFY2(error.contains(QLatin1String("takes longer than")), qPrintable(error));
    JpegDecoder::SetTimeLimitForTesting(0);
    TJPEGImage again;
    again.LoadFromBytes(bytes);
    QCOMPARE(again.Image().size(), QSize(1600, 1600));
}

void TestPictureJpeg::tooManyScansAreRefused()
{
    const QByteArray progressive = progressiveJpeg(64, 48);
    const QByteArray flooded = JpegSurgery::WithRepeatedLastScan(progressive, 1500);
    QCOMPARE(JpegSurgery::CountScans(flooded), 1500);
    TJPEGImage jpeg;
    jpeg.LoadFromBytes(flooded);
    try {
        jpeg.Image();
        QFAIL("1500 scans were decoded");
    } catch (const TavelinError &e) {
        QVERIFY2(e.message().contains(QLatin1String("1000 scans")), qPrintable(e.message()));
    }
    // Fewer scans, but over a larger picture: the blocks walked are limited as well.
    const TimeLimitOutOfTheWay workAlone;
    const QByteArray larger = JpegSurgery::WithRepeatedLastScan(progressiveJpeg(1024, 768), 900);
    TJPEGImage slow;
    slow.LoadFromBytes(larger);
    try {
        slow.Image();
        QFAIL("900 scans over 1024 x 768 were decoded");
    } catch (const TavelinError &e) {
        QVERIFY2(e.message().contains(QLatin1String("too long")), qPrintable(e.message()));
    }
    // A picture with a moderate number of (repeated) scans still decodes.
    TJPEGImage fewer;
    fewer.LoadFromBytes(JpegSurgery::WithRepeatedLastScan(progressive, 40));
    QCOMPARE(fewer.Image().size(), QSize(64, 48));
}

QTEST_MAIN(TestPictureJpeg)
#include "test_picture_jpeg.moc"
