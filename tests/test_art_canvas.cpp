// The canvas that every picture of the program is painted with: shapes land where their arguments
// put them, glows fade without a dark fringe, frames give the painter back, supersampled pictures
// are drawn in the small picture's units, and writing a picture reports what happened.
#include "demo/art/ArtCanvas.h"
#include "demo/art/ArtImage.h"
#include "demo/art/DemoArtCanvas.h"
#include "demo/art/TArtFrame.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QColor kGround(255, 255, 255);
const QColor kInk(200, 30, 40);

// A white picture with the painter's brush set to kInk and no pen, antialiasing off so that
// every pixel is either painted or not.
QImage paintOnWhite(QSize size, const std::function<void(QPainter &)> &paint)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(kGround);
    QPainter p(&image);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    paint(p);
    return image;
}

bool inked(const QImage &image, QPoint at)
{
    return image.pixelColor(at) == kInk;
}

// Colours compare equal when both are fully transparent, whatever their channels say.
bool sameColour(const QColor &a, const QColor &b)
{
    return (a.alpha() == 0 && b.alpha() == 0) || a.rgba() == b.rgba();
}

// Paints one of the page's grounds, from one colour to another where it is a gradient.
using TGroundPainter = std::function<void(TDemoPage &, const QColor &from, const QColor &to)>;

void colourGround(TDemoPage &page, const QColor &from, const QColor &)
{
    page.FillArt(from);
}

void radialGround(TDemoPage &page, const QColor &from, const QColor &to)
{
    page.FillArtRadial({{0, from}, {1, to}});
}

void diagonalGround(TDemoPage &page, const QColor &from, const QColor &to)
{
    page.FillArtDiagonal({{0, from}, {1, to}});
}

void verticalGround(TDemoPage &page, const QColor &from, const QColor &to)
{
    page.FillArtVertical({{0, from}, {1, to}});
}

} // namespace

Q_DECLARE_METATYPE(TGroundPainter)

class TestArtCanvas : public QObject {
    Q_OBJECT

private slots:
    // A polygon outline goes through every corner in order and is closed, so that filling and
    // stroking it both take in the last edge back to the first corner.
    void polygonPathVisitsEveryCornerAndCloses_data()
    {
        QTest::addColumn<QVector<QPointF>>("corners");
        QTest::newRow("triangle") << QVector<QPointF>{{16, 17.5}, {14.3, 21.5}, {17.7, 21.5}};
        QTest::newRow("door leaf") << QVector<QPointF>{{5, 3}, {14, 6}, {14, 31}, {5, 30}};
        QTest::newRow("arrow") << QVector<QPointF>{{15, 14}, {23, 14}, {23, 10}, {30.5, 17},
                                                   {23, 24}, {23, 20}, {15, 20}};
    }
    void polygonPathVisitsEveryCornerAndCloses()
    {
        QFETCH(QVector<QPointF>, corners);
        const QPainterPath path = ArtPolygonPath(corners);
        // moveTo, a lineTo per further corner, and the closing line back to the first corner.
        QCOMPARE(path.elementCount(), corners.size() + 1);
        QCOMPARE(path.elementAt(0).type, QPainterPath::MoveToElement);
        for (int i = 0; i < corners.size(); ++i)
            QCOMPARE(QPointF(path.elementAt(i)), corners[i]);
        QCOMPARE(QPointF(path.elementAt(corners.size())), corners[0]);
        QCOMPARE(path.toFillPolygon().size(), corners.size() + 1);
    }

    void emptyPolygonPathIsEmpty()
    {
        QVERIFY(ArtPolygonPath({}).isEmpty());
    }

    // Gradients carry their stops in the order given, and a glow fades to its own colour made
    // transparent: fading to transparent black darkens the fringe wherever colours are blended
    // without premultiplying (the scalable icon's SVG, for one).
    void gradientsCarryTheirStops()
    {
        const QLinearGradient linear = ArtLinearGradient(QPointF(1, 2), QPointF(3, 4),
                                                         {{0, Qt::red}, {0.45, Qt::green}, {1, Qt::blue}});
        QCOMPARE(linear.start(), QPointF(1, 2));
        QCOMPARE(linear.finalStop(), QPointF(3, 4));
        const QGradientStops expected{{0, QColor(Qt::red)}, {0.45, QColor(Qt::green)}, {1, QColor(Qt::blue)}};
        QCOMPARE(linear.stops(), expected);

        const QRadialGradient radial = ArtRadialGradient(QPointF(5, 6), 7, {{0, Qt::white}, {1, Qt::black}});
        QCOMPARE(radial.center(), QPointF(5, 6));
        QCOMPARE(radial.focalPoint(), QPointF(5, 6));
        QCOMPARE(radial.radius(), 7.0);
        QCOMPARE(radial.stops().size(), 2);
    }

    void glowFadesToItsOwnColour_data()
    {
        QTest::addColumn<QColor>("core");
        QTest::newRow("warm, half opaque") << QColor(255, 120, 90, 200);
        QTest::newRow("white, faint") << QColor(255, 255, 255, 60);
        QTest::newRow("opaque red") << QColor(210, 70, 70);
    }
    void glowFadesToItsOwnColour()
    {
        QFETCH(QColor, core);
        const QRadialGradient glow = ArtGlowGradient(QPointF(8, 24), 7.5, core);
        QCOMPARE(glow.center(), QPointF(8, 24));
        QCOMPARE(glow.radius(), 7.5);
        const QGradientStops stops = glow.stops();
        QCOMPARE(stops.size(), 2);
        QCOMPARE(stops[0].first, 0.0);
        QCOMPARE(stops[0].second, core);
        QCOMPARE(stops[1].first, 1.0);
        const QColor rim = stops[1].second;
        QCOMPARE(rim.alpha(), 0);
        QCOMPARE(rim.rgb() & 0xFFFFFF, core.rgb() & 0xFFFFFF);
    }

    // The cross's two bars reach halfLength from the centre and are 2 * halfWidth wide; the
    // corners between the arms stay clear.
    void crossHasArmsOfTheGivenSize_data()
    {
        QTest::addColumn<QPointF>("centre");
        QTest::addColumn<qreal>("halfLength");
        QTest::addColumn<qreal>("halfWidth");
        QTest::newRow("banner mark") << QPointF(52, 50) << 16.0 << 5.5;
        QTest::newRow("icon page") << QPointF(44, 29) << 8.0 << 3.0;
        QTest::newRow("contact card") << QPointF(52.5, 34) << 14.0 << 4.0;
    }
    void crossHasArmsOfTheGivenSize()
    {
        QFETCH(QPointF, centre);
        QFETCH(qreal, halfLength);
        QFETCH(qreal, halfWidth);
        const QImage image = paintOnWhite(QSize(100, 100), [&](QPainter &p) {
            ArtDrawCross(p, centre, halfLength, halfWidth, 0);
        });
        const auto at = [&](qreal dx, qreal dy) { return (centre + QPointF(dx, dy)).toPoint(); };
        const qreal in = halfLength - 1.5, out = halfLength + 1.5, side = halfWidth - 1;
        QVERIFY(inked(image, at(0, 0)));
        for (const QPoint p : {at(in, 0), at(-in, 0), at(0, in), at(0, -in), at(in, side), at(-side, -in)})
            QVERIFY2(inked(image, p), qPrintable(QStringLiteral("arm not painted at %1,%2").arg(p.x()).arg(p.y())));
        const qreal corner = halfWidth + 1.5;
        for (const QPoint p :
             {at(out, 0), at(-out, 0), at(0, out), at(0, -out), at(corner, corner), at(-corner, corner)})
            QVERIFY2(!inked(image, p), qPrintable(QStringLiteral("painted at %1,%2").arg(p.x()).arg(p.y())));
    }

    // A frame moves and turns what is drawn in it, and the painter is as before once it ends,
    // however deeply frames nest.
    void frameMovesTurnsAndRestores_data()
    {
        QTest::addColumn<QPointF>("origin");
        QTest::addColumn<qreal>("degrees");
        QTest::addColumn<QPointF>("unitX"); // where the frame's (1, 0) lands
        QTest::newRow("moved only") << QPointF(10, 20) << 0.0 << QPointF(11, 20);
        QTest::newRow("quarter turn") << QPointF(10, 20) << 90.0 << QPointF(10, 21);
        QTest::newRow("tilted back") << QPointF(25.5, 6.5) << -90.0 << QPointF(25.5, 5.5);
    }
    void frameMovesTurnsAndRestores()
    {
        QFETCH(QPointF, origin);
        QFETCH(qreal, degrees);
        QFETCH(QPointF, unitX);
        QImage image(50, 50, QImage::Format_RGB32);
        QPainter p(&image);
        p.setPen(QPen(Qt::blue, 3));
        p.setBrush(Qt::green);
        const QTransform before = p.transform();
        {
            const TArtFrame frame(p, origin, degrees);
            const QPointF mapped = p.transform().map(QPointF(1, 0));
            QVERIFY2(qAbs(mapped.x() - unitX.x()) < 1e-9 && qAbs(mapped.y() - unitX.y()) < 1e-9,
                     qPrintable(QStringLiteral("%1,%2").arg(mapped.x()).arg(mapped.y())));
            QCOMPARE(p.transform().map(QPointF(0, 0)), origin);
            p.setPen(Qt::red);
            p.setBrush(Qt::NoBrush);
            {
                const TArtFrame inner(p, QPointF(5, 0), 45);
                p.setBrush(Qt::yellow);
            }
            QCOMPARE(p.brush().style(), Qt::NoBrush);
            QCOMPARE(p.transform().map(QPointF(0, 0)), origin);
        }
        QCOMPARE(p.transform(), before);
        QCOMPARE(p.pen().color(), QColor(Qt::blue));
        QCOMPARE(p.pen().widthF(), 3.0);
        QCOMPARE(p.brush().color(), QColor(Qt::green));
    }

    // The shape helpers leave the painter with their pen and brush, for the next shape to use.
    void shapesLeaveTheirPenAndBrush()
    {
        const QImage image = paintOnWhite(QSize(40, 20), [](QPainter &p) {
            ArtDrawShape(p, ArtPolygonPath({{1, 1}, {18, 1}, {18, 18}, {1, 18}}), kInk, Qt::NoPen);
            QCOMPARE(p.brush().color(), kInk);
            QCOMPARE(p.pen().style(), Qt::NoPen);
            ArtDrawEllipse(p, QPointF(30, 10), 6, 6, QColor(Qt::black), ArtRoundPen(Qt::blue, 2));
            QCOMPARE(p.pen().capStyle(), Qt::RoundCap);
            QCOMPARE(p.pen().joinStyle(), Qt::RoundJoin);
            QCOMPARE(p.brush().color(), QColor(Qt::black));
        });
        QVERIFY(inked(image, QPoint(10, 10)));
        QCOMPARE(image.pixelColor(30, 10), QColor(Qt::black));
        QCOMPARE(image.pixelColor(30, 3), QColor(Qt::blue));
        QCOMPARE(image.pixelColor(39, 0), kGround);
    }

    // A supersampled picture comes out at the asked size, on its ground, with what was drawn in
    // the small picture's units covering the same part of it.
    void supersampledIsDrawnInTheSmallPicturesUnits_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("factor");
        QTest::addColumn<QColor>("ground");
        QTest::newRow("atlas button") << QSize(32, 32) << 4 << QColor(Qt::transparent);
        QTest::newRow("contact card") << QSize(105, 105) << 4 << QColor(248, 249, 255);
        QTest::newRow("wide, twice") << QSize(60, 20) << 2 << QColor(10, 20, 30);
    }
    void supersampledIsDrawnInTheSmallPicturesUnits()
    {
        QFETCH(QSize, size);
        QFETCH(int, factor);
        QFETCH(QColor, ground);
        int calls = 0;
        const QImage image = ArtSupersampled(size, factor, ground, [&](QPainter &p) {
            ++calls;
            p.fillRect(QRectF(0, 0, size.width() / 2.0, size.height()), kInk);
        });
        QCOMPARE(calls, 1);
        QCOMPARE(image.size(), size);
        const int half = size.width() / 2;
        for (const QPoint p : {QPoint(1, size.height() / 2), QPoint(half - 2, 1)})
            QVERIFY2(sameColour(image.pixelColor(p), kInk), qPrintable(image.pixelColor(p).name(QColor::HexArgb)));
        for (const QPoint p : {QPoint(half + 2, 1), QPoint(size.width() - 1, size.height() - 1)})
            QVERIFY2(sameColour(image.pixelColor(p), ground), qPrintable(image.pixelColor(p).name(QColor::HexArgb)));
    }

    void filledImageIsOpaqueAndCovered()
    {
        const QImage image = ArtFilledImage(QSize(7, 3), QColor(12, 52, 112));
        QCOMPARE(image.size(), QSize(7, 3));
        QVERIFY(!image.hasAlphaChannel());
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 7; ++x)
                QCOMPARE(image.pixelColor(x, y), QColor(12, 52, 112));
    }

    // Writing picks the format from the name, and a picture that cannot be written is reported
    // as a failure, with nothing left behind.
    void savingReportsWhatHappened_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("quality");
        QTest::addColumn<bool>("written");
        QTest::addColumn<QByteArray>("magic");
        QTest::newRow("png") << QStringLiteral("banner.png") << -1 << true << QByteArray("\x89PNG", 4);
        QTest::newRow("jpeg with quality")
            << QStringLiteral("strip.jpg") << 95 << true << QByteArray("\xFF\xD8\xFF", 3);
        QTest::newRow("missing folder") << QStringLiteral("no/such/folder/a.png") << -1 << false << QByteArray();
        QTest::newRow("unknown format") << QStringLiteral("picture.unknownformat") << -1 << false << QByteArray();
    }
    void savingReportsWhatHappened()
    {
        QFETCH(QString, name);
        QFETCH(int, quality);
        QFETCH(bool, written);
        QFETCH(QByteArray, magic);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(name);
        QCOMPARE(ArtSaveImage(ArtFilledImage(QSize(8, 8), QColor(40, 110, 190)), path, quality), written);
        QFile file(path);
        QCOMPARE(file.exists(), written);
        if (written) {
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.read(magic.size()), magic);
            QCOMPARE(QImage(path).size(), QSize(8, 8));
        }
    }

    // A page's grounds cover the art area and nothing else: the frame and the caption band are
    // left to the page.
    void pageGroundsCoverOnlyTheArtArea_data()
    {
        QTest::addColumn<TGroundPainter>("paint");
        QTest::newRow("colour") << TGroundPainter(colourGround);
        QTest::newRow("radial") << TGroundPainter(radialGround);
        QTest::newRow("diagonal") << TGroundPainter(diagonalGround);
        QTest::newRow("vertical") << TGroundPainter(verticalGround);
    }
    void pageGroundsCoverOnlyTheArtArea()
    {
        QFETCH(TGroundPainter, paint);
        const QColor ink(20, 200, 60);
        TDemoPage page(QSize(400, 300), TDemoPageStyle());
        const QRect art = page.ArtRect().toAlignedRect();
        paint(page, ink, ink);
        const QImage image = page.Finish();
        for (const QPoint p : {art.center(), art.topLeft() + QPoint(1, 1), art.bottomRight() - QPoint(1, 1)})
            QCOMPARE(image.pixelColor(p), ink);
        for (const QPoint p : {QPoint(1, 1), QPoint(art.left() - 3, art.center().y()), QPoint(art.center().x(), 299)})
            QVERIFY(image.pixelColor(p) != ink);
    }

    // Each gradient ground runs its own way across the art area: from the middle outwards, from
    // the top left corner to the bottom right one, from the top down. Points are fractions of the
    // art area.
    void gradientGroundsRunTheirWay_data()
    {
        QTest::addColumn<TGroundPainter>("paint");
        QTest::addColumn<QPointF>("light");
        QTest::addColumn<QPointF>("dark");
        QTest::addColumn<QPointF>("alike"); // as light or dark as...
        QTest::addColumn<QPointF>("alikeToo"); // ...this one
        QTest::newRow("radial") << TGroundPainter(radialGround) << QPointF(0.5, 0.5) << QPointF(0.02, 0.02)
                                << QPointF(0.5, 0.2) << QPointF(0.2, 0.5);
        QTest::newRow("diagonal") << TGroundPainter(diagonalGround) << QPointF(0.05, 0.05) << QPointF(0.95, 0.95)
                                  << QPointF(0.2, 0.8) << QPointF(0.8, 0.2);
        QTest::newRow("vertical") << TGroundPainter(verticalGround) << QPointF(0.5, 0.05) << QPointF(0.5, 0.95)
                                  << QPointF(0.1, 0.5) << QPointF(0.9, 0.5);
    }
    void gradientGroundsRunTheirWay()
    {
        QFETCH(TGroundPainter, paint);
        QFETCH(QPointF, light);
        QFETCH(QPointF, dark);
        QFETCH(QPointF, alike);
        QFETCH(QPointF, alikeToo);
        // A page whose art area is square, so that the diagonal's alike points are mirror images.
        TDemoPage page(QSize(400, 438), TDemoPageStyle());
        const QRectF art = page.ArtRect();
        QVERIFY(qAbs(art.width() - art.height()) < 1);
        paint(page, QColor(246, 249, 238), QColor(30, 36, 48));
        const QImage image = page.Finish();
        const auto lightness = [&](QPointF f) {
            const QPointF at(art.left() + f.x() * art.width(), art.top() + f.y() * art.height());
            return image.pixelColor(at.toPoint()).lightness();
        };
        QVERIFY2(lightness(light) > lightness(dark) + 100,
                 qPrintable(QStringLiteral("%1 vs %2").arg(lightness(light)).arg(lightness(dark))));
        QVERIFY(qAbs(lightness(alike) - lightness(alikeToo)) <= 2);
    }
};

QTEST_MAIN(TestArtCanvas)
#include "test_art_canvas.moc"
