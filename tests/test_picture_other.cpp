// Bitmap and icon pictures, the picture holder's loading by extension, and the image control.
#include "picture/JpegEncoder.h"
#include "picture/TBitmapImage.h"
#include "picture/TIconImage.h"
#include "widgets/TImage.h"
#include "picture/TJPEGImage.h"
#include "picture/TPicture.h"
#include "platform/TMemoryStream.h"
#include "platform/TavelinError.h"
#include "support/JpegSurgery.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

// A new, empty picture of one raster kind.
using TMakeRaster = std::function<std::unique_ptr<TRasterImage>()>;
Q_DECLARE_METATYPE(TMakeRaster)

namespace {

// Left half red, right half blue.
QImage twoHalves(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::blue);
    QPainter(&img).fillRect(0, 0, w / 2, h, Qt::red);
    return img;
}

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write fixture %s", qPrintable(path));
    return path;
}

QByteArray encoded(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format))
        qFatal("cannot encode %s", format);
    return bytes;
}

bool isRed(QColor c)
{
    return c.red() > 200 && c.green() < 60 && c.blue() < 60;
}

bool isBlue(QColor c)
{
    return c.blue() > 200 && c.red() < 60 && c.green() < 60;
}

} // namespace

class TestPictureOther : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void rasterPicturesLoad_data();
    void rasterPicturesLoad();
    void rasterPictureRejectsOtherData();

    void loadFromFileByExtension_data();
    void loadFromFileByExtension();
    void failedLoadLeavesThePictureEmpty_data();
    void failedLoadLeavesThePictureEmpty();
    void copiesAreIndependent();

    void imageStretchesOverTheWholeControl();
    void imageAutoSizesToThePicture();
    void imageEmitsClickedOnLeftRelease();
    void undecodablePicturePaintsNothing();

private:
    QTemporaryDir m_dir;
};

void TestPictureOther::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

void TestPictureOther::rasterPicturesLoad_data()
{
    QTest::addColumn<TMakeRaster>("make");
    QTest::addColumn<QString>("kind"); // the name it gives of its kind
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("bitmap") << TMakeRaster([] { return std::unique_ptr<TRasterImage>(std::make_unique<TBitmapImage>()); })
                            << "Bitmap" << encoded(twoHalves(60, 40), "BMP");
    QTest::newRow("icon") << TMakeRaster([] { return std::unique_ptr<TRasterImage>(std::make_unique<TIconImage>()); })
                          << "Icon" << encoded(twoHalves(32, 32), "ICO");
}

void TestPictureOther::rasterPicturesLoad()
{
    QFETCH(TMakeRaster, make);
    QFETCH(QString, kind);
    QFETCH(QByteArray, bytes);
    const std::unique_ptr<TRasterImage> picture = make();
    TMemoryStream in;
    in.Write(bytes);
    in.SetPosition(0);
    picture->LoadFromStream(in);
    QCOMPARE(picture->KindName(), kind);
    const QImage source = QImage::fromData(bytes);
    QCOMPARE(QSize(picture->Width(), picture->Height()), source.size());
    QVERIFY(isRed(picture->Image().pixelColor(2, 2)));
    QVERIFY(isBlue(picture->Image().pixelColor(source.width() - 3, 2)));
    // Saved back byte for byte.
    TMemoryStream out;
    picture->SaveToStream(out);
    QCOMPARE(out.Bytes(), bytes);
    // A clone shows the same picture.
    std::unique_ptr<TGraphic> clone = picture->Clone();
    QCOMPARE(clone->KindName(), kind);
    QCOMPARE(clone->Image(), picture->Image());
}

void TestPictureOther::rasterPictureRejectsOtherData()
{
    TBitmapImage bitmap;
    bitmap.LoadFromBytes(encoded(twoHalves(10, 10), "BMP"));
    try {
        bitmap.LoadFromBytes(TestSupport::MakeJpeg(20, 20));
        QFAIL("JPEG bytes were read as a bitmap");
    } catch (const TavelinError &e) {
        QVERIFY2(e.message().contains(QLatin1String("bitmap")), qPrintable(e.message()));
    }
    QVERIFY(bitmap.IsEmpty());
}

void TestPictureOther::loadFromFileByExtension_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QSize>("size");
    const QByteArray jpeg = TestSupport::MakeJpeg(64, 48);
    QTest::newRow("jpg") << "a.jpg" << jpeg << "JPEG" << QSize(64, 48);
    QTest::newRow("JPG upper case") << "B.JPG" << jpeg << "JPEG" << QSize(64, 48);
    QTest::newRow("jpeg mixed case") << "c.JpEg" << jpeg << "JPEG" << QSize(64, 48);
    QTest::newRow("bmp") << "d.bmp" << encoded(twoHalves(30, 20), "BMP") << "Bitmap" << QSize(30, 20);
    QTest::newRow("BMP upper case") << "e.BMP" << encoded(twoHalves(30, 20), "BMP") << "Bitmap" << QSize(30, 20);
    QTest::newRow("ico") << "f.ico" << encoded(twoHalves(16, 16), "ICO") << "Icon" << QSize(16, 16);
}

void TestPictureOther::loadFromFileByExtension()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, kind);
    QFETCH(QSize, size);
    TPicture picture;
    picture.LoadFromFile(writeFile(m_dir, name, bytes));
    QVERIFY(!picture.IsEmpty());
    QCOMPARE(picture.Graphic()->KindName(), kind);
    QCOMPARE(QSize(picture.Width(), picture.Height()), size);
    if (auto *jpeg = dynamic_cast<TJPEGImage *>(picture.Graphic()))
        QVERIFY(!jpeg->Decoded()); // loading a JPEG file reads only its header
}

void TestPictureOther::failedLoadLeavesThePictureEmpty_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    const QByteArray jpeg = TestSupport::MakeJpeg(64, 48);
    QTest::newRow("png extension") << "a.png" << encoded(twoHalves(8, 8), "PNG") << "extension";
    QTest::newRow("gif extension") << "b.gif" << jpeg << "extension";
    QTest::newRow("no extension") << "noextension" << jpeg << "extension";
    QTest::newRow("wmf") << "c.wmf" << QByteArray("\xD7\xCD\xC6\x9A", 4) << "etafile";
    QTest::newRow("EMF") << "d.EMF" << QByteArray(" EMF", 4) << "etafile";
    QTest::newRow("JPEG bytes named .bmp") << "e.bmp" << jpeg << "bitmap";
    QTest::newRow("text named .jpg") << "f.jpg" << QByteArray("hello") << "JPEG";
    QTest::newRow("missing file") << QString() << QByteArray() << "Cannot open";
}

void TestPictureOther::failedLoadLeavesThePictureEmpty()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    const QString path = name.isEmpty() ? m_dir.filePath(QStringLiteral("absent.jpg")) : writeFile(m_dir, name, bytes);
    TPicture picture;
    picture.LoadFromFile(writeFile(m_dir, QStringLiteral("good.jpg"), TestSupport::MakeJpeg(20, 20)));
    QVERIFY(!picture.IsEmpty());
    try {
        picture.LoadFromFile(path);
        QFAIL("no error raised");
    } catch (const TavelinError &e) {
        QVERIFY2(e.message().contains(reason), qPrintable(e.message()));
    }
    QVERIFY(picture.IsEmpty());
    QVERIFY(!picture.Graphic());
}

void TestPictureOther::copiesAreIndependent()
{
    TPicture original;
    original.LoadFromFile(writeFile(m_dir, QStringLiteral("copy.jpg"), TestSupport::MakeJpeg(80, 40)));
    TPicture copy(original);
    auto *a = dynamic_cast<TJPEGImage *>(original.Graphic());
    auto *b = dynamic_cast<TJPEGImage *>(copy.Graphic());
    QVERIFY(a && b && a != b);
    QCOMPARE(b->CompressedData().constData(), a->CompressedData().constData());
    b->SetScale(TJPEGScale::jsHalf);
    QCOMPARE(copy.Width(), 40);
    QCOMPARE(original.Width(), 80);

    TPicture assigned;
    assigned = copy;
    QCOMPARE(assigned.Width(), 40);
    assigned.Clear();
    QVERIFY(assigned.IsEmpty());
    QVERIFY(!copy.IsEmpty());

    TPicture fromGraphic;
    fromGraphic.Assign(a);
    QVERIFY(fromGraphic.Graphic() != a);
    fromGraphic.Assign(nullptr);
    QVERIFY(fromGraphic.IsEmpty());
}

void TestPictureOther::imageStretchesOverTheWholeControl()
{
    TJPEGImage jpeg;
    jpeg.LoadFromBytes(EncodeJpeg(twoHalves(400, 400)));
    TImage image;
    image.SetStretch(true);
    image.resize(50, 200); // another shape than the picture's
    image.AssignGraphic(&jpeg);
    const QImage shot = image.grab().toImage();
    QCOMPARE(shot.size(), QSize(50, 200));
    QVERIFY(isRed(shot.pixelColor(3, 3)));
    QVERIFY(isRed(shot.pixelColor(3, 196)));
    QVERIFY(isBlue(shot.pixelColor(46, 3)));
    QVERIFY(isBlue(shot.pixelColor(46, 196)));
    // The control's copy decoded small; the caller's picture was not touched.
    auto *shown = dynamic_cast<TJPEGImage *>(image.Picture().Graphic());
    QVERIFY(shown && shown != &jpeg);
    QVERIFY(!shown->Decoded());
    QCOMPARE(shown->ReducedSize(), QSize(50, 200)); // from the 1/2 decode, which covers 50 x 200
    QVERIFY(!jpeg.Decoded());
}

void TestPictureOther::imageAutoSizesToThePicture()
{
    TImage image;
    image.resize(10, 10);
    image.SetAutoSize(true);
    TPicture picture;
    picture.LoadFromFile(writeFile(m_dir, QStringLiteral("auto.jpg"), EncodeJpeg(twoHalves(160, 120))));
    image.SetPicture(picture);
    QCOMPARE(image.size(), QSize(160, 120));
    QCOMPARE(image.sizeHint(), QSize(160, 120));

    // Options changed in place take effect through PictureChanged.
    dynamic_cast<TJPEGImage *>(image.Picture().Graphic())->SetScale(TJPEGScale::jsQuarter);
    image.PictureChanged();
    QCOMPARE(image.size(), QSize(40, 30));

    // Drawn at its own size, not stretched: a larger control shows the picture in its corner.
    image.SetAutoSize(false);
    image.resize(100, 100);
    image.setAutoFillBackground(true);
    QPalette pal = image.palette();
    pal.setColor(QPalette::Window, Qt::green);
    image.setPalette(pal);
    const QImage shot = image.grab().toImage();
    QVERIFY(isRed(shot.pixelColor(2, 2)));
    QVERIFY(isBlue(shot.pixelColor(37, 27)));
    QCOMPARE(shot.pixelColor(60, 60), QColor(Qt::green));

    // A bitmap sizes the control the same way.
    TBitmapImage bitmap;
    bitmap.LoadFromBytes(encoded(twoHalves(70, 20), "BMP"));
    image.SetAutoSize(true);
    image.AssignGraphic(&bitmap);
    QCOMPARE(image.size(), QSize(70, 20));
    // Cleared, it keeps its size.
    image.ClearPicture();
    QCOMPARE(image.size(), QSize(70, 20));
}

void TestPictureOther::imageEmitsClickedOnLeftRelease()
{
    TImage image;
    image.resize(55, 66);
    image.show();
    QVERIFY(QTest::qWaitForWindowExposed(&image));
    QSignalSpy clicked(&image, &TImage::clicked);
    QTest::mouseClick(&image, Qt::LeftButton, {}, QPoint(20, 20));
    QCOMPARE(clicked.count(), 1);
    QTest::mouseClick(&image, Qt::RightButton, {}, QPoint(20, 20));
    QCOMPARE(clicked.count(), 1);
    // Pressed inside, released outside: no click.
    QTest::mousePress(&image, Qt::LeftButton, {}, QPoint(20, 20));
    QTest::mouseRelease(&image, Qt::LeftButton, {}, QPoint(200, 20));
    QCOMPARE(clicked.count(), 1);
}

void TestPictureOther::undecodablePicturePaintsNothing()
{
    TJPEGImage broken;
    broken.LoadFromBytes(JpegSurgery::WithoutQuantTable0(TestSupport::MakeJpeg(64, 48)));
    TImage image;
    image.SetStretch(true);
    image.resize(55, 66);
    image.setAutoFillBackground(true);
    QPalette pal = image.palette();
    pal.setColor(QPalette::Window, Qt::green);
    image.setPalette(pal);
    image.AssignGraphic(&broken);
    QImage shot;
    try {
        shot = image.grab().toImage();
    } catch (...) {
        QFAIL("painting raised");
    }
    QCOMPARE(shot.pixelColor(27, 33), QColor(Qt::green));
    // Also when the picture is too large to decode at the control's size.
    TJPEGImage huge;
    huge.LoadFromBytes(JpegSurgery::WithForgedSize(TestSupport::MakeJpeg(64, 64), 65500, 65500));
    image.SetStretch(false);
    image.AssignGraphic(&huge);
    shot = image.grab().toImage();
    QCOMPARE(shot.pixelColor(27, 33), QColor(Qt::green));
}

QTEST_MAIN(TestPictureOther)
#include "test_picture_other.moc"
