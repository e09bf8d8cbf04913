// The function set: message boxes (buttons, icons, results, Esc and the close box), the gradient
// arithmetic, gradient panels checked pixel by pixel, the canvas's GDI semantics and the shared objects.
#include "glo/GlobalObjects.h"
#include "glo/GradientMath.h"
#include "glo/TqelFunctionSet.h"
#include "platform/FontSetup.h"
#include "platform/TCanvas.h"
#include "platform/WinConstants.h"
#include "widgets/TCentredMessageBox.h"
#include "widgets/WinMessageBox.h"
#include "support/ModalBoxes.h"
#include "support/TestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QAccessible>
#include <QtTest>

#include <functional>

using namespace TestSupport;

Q_DECLARE_METATYPE(TRect)
Q_DECLARE_METATYPE(QList<int>)
Q_DECLARE_METATYPE(QMessageBox::StandardButton)
Q_DECLARE_METATYPE(QMessageBox::Icon)
// Where across a caption's ink bounds something sits.
using TInkEdge = std::function<int(const QRect &)>;
Q_DECLARE_METATYPE(TInkEdge)

namespace {

const QRgb kUntouched = qRgb(1, 2, 3);

QImage BlankImage(int w = 24, int h = 24)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(kUntouched);
    return img;
}

QRgb Rgb(TColor c)
{
    return ColorRefToQColor(c).rgb();
}

struct TPanelArgs {
    TRect rect;
    TColor start = MakeColorRef(0, 17, 99);
    TColor end = MakeColorRef(250, 17, 99);
    bool frame = false;
    bool mirrored = false;
    bool vertical = true;
    QString caption;
    std::uint8_t alignment = 0;
    TColor fontColor = MakeColorRef(255, 255, 255);
};

QImage RenderPanel(const TPanelArgs &a, int w = 24, int h = 24)
{
    QImage img = BlankImage(w, h);
    TqelFunctionSet fs;
    TCanvas canvas(&img);
    canvas.SetFont(SongFont(12));
    canvas.SetFontColor(a.fontColor);
    fs.DrawGradientPanel(&canvas, a.rect, a.start, a.end, a.frame, a.mirrored, a.vertical, a.caption, a.alignment);
    return img;
}

// Columns (or rows) of an image region holding pixels different from the background colour.
QRect InkBounds(const QImage &img, const QRect &area, QRgb background)
{
    QRect ink;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (img.pixel(x, y) != background)
                ink = ink.united(QRect(x, y, 1, 1));
    return ink;
}

} // namespace

class TestFunctionSet : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();

    void gradientChannel_data();
    void gradientChannel();
    void gradientColourIgnoresTopByte();
    void frameColour_data();
    void frameColour();

    void verticalRows_data();
    void verticalRows();
    void horizontalMirroredColumns();
    void emptyRectPaintsNothing_data();
    void emptyRectPaintsNothing();
    void frameOutline();
    void captionAlignment_data();
    void captionAlignment();
    void captionWithoutText_data();
    void captionWithoutText();
    void captionLeadingBlanksAndLineBreaks();
    void captionStaysInsideThePanel();
    void canvasStateRestored_data();
    void canvasStateRestored();

    void canvasLineToExcludesEndPoint_data();
    void canvasLineToExcludesEndPoint();
    void canvasFrameRectAndBrush();
    void canvasOpaqueText();

    void msgBoxButtonsAndResults_data();
    void msgBoxButtonsAndResults();
    void msgBoxEscapeAndCloseBox_data();
    void msgBoxEscapeAndCloseBox();
    void msgBoxShowsTextPlainAndDefaultButton();
    void msgBoxCentredOnTheScreen_data();
    void msgBoxCentredOnTheScreen();
    void msgBoxOwnerIsActiveWindowAndFocusReturns();

    void globalObjects();
};

void TestFunctionSet::initTestCase()
{
    InstallFontSubstitutions();
}

// ---- arithmetic ----

void TestFunctionSet::gradientChannel_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<int>("n");
    QTest::addColumn<QList<int>>("expected"); // for i = 0..n

    QTest::newRow("0 to 255 over 3") << 0 << 255 << 3 << QList<int>{0, 85, 170, 255};
    QTest::newRow("255 to 0 over 2 truncates toward start") << 255 << 0 << 2 << QList<int>{255, 128, 0};
    QTest::newRow("rising halves truncate down") << 10 << 20 << 4 << QList<int>{10, 12, 15, 17, 20};
    QTest::newRow("falling halves truncate up") << 20 << 10 << 4 << QList<int>{20, 18, 15, 13, 10};
    QTest::newRow("span of zero gives the start") << 40 << 90 << 0 << QList<int>{40};
}

void TestFunctionSet::gradientChannel()
{
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(int, n);
    QFETCH(QList<int>, expected);
    QList<int> got;
    for (int i = 0; i <= n; ++i)
        got << GradientChannel(start, end, i, n);
    QCOMPARE(got, expected);
}

void TestFunctionSet::gradientColourIgnoresTopByte()
{
    const TColor start = 0xFF000000u | MakeColorRef(0, 100, 255);
    const TColor end = 0x80000000u | MakeColorRef(255, 50, 0);
    QCOMPARE(GradientColor(start, end, 0, 3), MakeColorRef(0, 100, 255));
    QCOMPARE(GradientColor(start, end, 1, 3), MakeColorRef(85, 84, 170));
    QCOMPARE(GradientColor(start, end, 3, 3), MakeColorRef(255, 50, 0));
}

void TestFunctionSet::frameColour_data()
{
    QTest::addColumn<TColor>("start");
    QTest::addColumn<TColor>("end");
    QTest::addColumn<int>("height");
    QTest::addColumn<TColor>("expected");

    QTest::newRow("black to white, 12 high") << MakeColorRef(0, 0, 0) << MakeColorRef(255, 255, 255) << 12
                                             << MakeColorRef(204, 204, 204);
    QTest::newRow("white to black, 12 high") << MakeColorRef(255, 255, 255) << MakeColorRef(0, 0, 0) << 12
                                             << MakeColorRef(51, 51, 51);
    QTest::newRow("channels apart, 22 high") << MakeColorRef(10, 200, 0) << MakeColorRef(30, 0, 7) << 22
                                             << MakeColorRef(255 - 12, 255 - 180, 255 - 0);
    QTest::newRow("1 high divides by -1 and wraps") << MakeColorRef(0, 0, 0) << MakeColorRef(100, 0, 0) << 1
                                                     << MakeColorRef(255 - 56, 255, 255);
    QTest::newRow("2 high uses the end colour") << MakeColorRef(0, 0, 0) << MakeColorRef(100, 10, 1) << 2
                                                << MakeColorRef(155, 245, 254);
}

void TestFunctionSet::frameColour()
{
    QFETCH(TColor, start);
    QFETCH(TColor, end);
    QFETCH(int, height);
    QFETCH(TColor, expected);
    QCOMPARE(GradientFrameColor(start, end, height), expected);
}

// ---- gradient panels, pixel by pixel ----

void TestFunctionSet::verticalRows_data()
{
    QTest::addColumn<int>("bottom");
    QTest::addColumn<bool>("mirrored");
    QTest::addColumn<int>("startRed");
    QTest::addColumn<int>("endRed");
    QTest::addColumn<QList<int>>("redByRow"); // rows 0.. (one row past the rectangle included)

    QTest::newRow("T=0 B=3: four rows, the last on row 3") << 3 << false << 0 << 255 << QList<int>{0, 85, 170, 255};
    QTest::newRow("T=0 B=2 falling") << 2 << false << 255 << 0 << QList<int>{255, 128, 0};
    QTest::newRow("mirrored B=10, mid 5") << 10 << true << 0 << 250
                                          << QList<int>{0, 50, 100, 150, 200, 250, 200, 150, 100, 50, 0};
    QTest::newRow("mirrored B=11, mid 5, lower fill one row longer")
        << 11 << true << 0 << 250 << QList<int>{0, 50, 100, 150, 200, 250, 209, 167, 125, 84, 42, 0};
    QTest::newRow("mirrored B=6, mid 3, seven rows") << 6 << true << 0 << 250
                                                     << QList<int>{0, 83, 166, 250, 167, 84, 0};
}

void TestFunctionSet::verticalRows()
{
    QFETCH(int, bottom);
    QFETCH(bool, mirrored);
    QFETCH(int, startRed);
    QFETCH(int, endRed);
    QFETCH(QList<int>, redByRow);

    TPanelArgs a;
    a.rect = TRect(2, 0, 6, bottom);
    a.start = MakeColorRef(startRed, 17, 99);
    a.end = MakeColorRef(endRed, 17, 99);
    a.mirrored = mirrored;
    a.vertical = true;
    const QImage img = RenderPanel(a);

    for (int y = 0; y < redByRow.size(); ++y) {
        for (int x = 2; x < 6; ++x)
            QCOMPARE(img.pixel(x, y), qRgb(redByRow[y], 17, 99));
        QCOMPARE(img.pixel(1, y), kUntouched); // left of the panel
        QCOMPARE(img.pixel(6, y), kUntouched); // the right edge itself is not painted
    }
    QCOMPARE(img.pixel(3, redByRow.size()), kUntouched); // below the last line
}

void TestFunctionSet::horizontalMirroredColumns()
{
    TPanelArgs a;
    a.rect = TRect(0, 3, 10, 7);
    a.start = MakeColorRef(0, 17, 99);
    a.end = MakeColorRef(250, 17, 99);
    a.mirrored = true;
    a.vertical = false;
    const QImage img = RenderPanel(a);
    const QList<int> redByColumn{0, 50, 100, 150, 200, 250, 200, 150, 100, 50, 0};
    for (int x = 0; x < redByColumn.size(); ++x) {
        for (int y = 3; y < 7; ++y)
            QCOMPARE(img.pixel(x, y), qRgb(redByColumn[x], 17, 99));
        QCOMPARE(img.pixel(x, 2), kUntouched);
        QCOMPARE(img.pixel(x, 7), kUntouched); // the bottom edge is not painted
    }
    QCOMPARE(img.pixel(11, 4), kUntouched);
}

void TestFunctionSet::emptyRectPaintsNothing_data()
{
    QTest::addColumn<TRect>("rect");
    QTest::newRow("zero width") << TRect(5, 5, 5, 10);
    QTest::newRow("zero height") << TRect(5, 5, 10, 5);
    QTest::newRow("negative width") << TRect(10, 5, 4, 10);
    QTest::newRow("negative height") << TRect(5, 10, 10, 2);
}

void TestFunctionSet::emptyRectPaintsNothing()
{
    QFETCH(TRect, rect);
    QImage img = BlankImage();
    const QImage before = img;
    {
        TCanvas canvas(&img);
        canvas.SetPenColor(0x010203);
        canvas.SetBrushColor(0x040506);
        canvas.SetBrushStyle(TBrushStyle::bsClear);
        canvas.MoveTo(7, 8);
        TqelFunctionSet fs;
        fs.DrawGradientPanel(&canvas, rect, 0x0000FF, 0xFF0000, true, true, true, QStringLiteral("Text"), 2);
        QCOMPARE(canvas.PenColor(), TColor(0x010203));
        QCOMPARE(canvas.BrushColor(), TColor(0x040506));
        QCOMPARE(canvas.BrushStyle(), TBrushStyle::bsClear);
        QCOMPARE(canvas.PenPos(), QPoint(7, 8));
        // And no canvas at all is no error.
        fs.DrawGradientPanel(nullptr, TRect(0, 0, 5, 5), 0, 0, false, false, true, QString(), 0);
    }
    QCOMPARE(img, before);
}

void TestFunctionSet::frameOutline()
{
    TPanelArgs a;
    a.rect = TRect(2, 2, 12, 14); // 12 high
    a.start = MakeColorRef(0, 0, 0);
    a.end = MakeColorRef(255, 255, 255);
    a.frame = true;
    const QImage img = RenderPanel(a);
    const QRgb frame = qRgb(204, 204, 204);
    for (int x = 2; x < 12; ++x) {
        QCOMPARE(img.pixel(x, 2), frame);
        QCOMPARE(img.pixel(x, 13), frame);
    }
    for (int y = 2; y < 14; ++y) {
        QCOMPARE(img.pixel(2, y), frame);
        QCOMPARE(img.pixel(11, y), frame);
        QCOMPARE(img.pixel(12, y), kUntouched);
    }
    // Inside, the gradient: row 3 is line 1 of 12.
    QCOMPARE(img.pixel(5, 3), Rgb(GradientColor(a.start, a.end, 1, 12)));
    // The gradient's extra last row (row 14) is outside the frame and keeps the end colour.
    QCOMPARE(img.pixel(5, 14), qRgb(255, 255, 255));
}

void TestFunctionSet::captionAlignment_data()
{
    // edge: where the caption's ink sits across (its left, its right or its middle), which must lie
    // within [from, to].
    QTest::addColumn<int>("alignment");
    QTest::addColumn<TInkEdge>("edge");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::newRow("left") << 0 << TInkEdge([](const QRect &ink) { return ink.left(); }) << 11 << 14;
    QTest::newRow("right") << 1 << TInkEdge([](const QRect &ink) { return ink.right(); }) << 204 << 208;
    QTest::newRow("centre") << 2 << TInkEdge([](const QRect &ink) { return (ink.left() + ink.right()) / 2; }) << 107
                            << 113;
}

void TestFunctionSet::captionAlignment()
{
    QFETCH(int, alignment);
    QFETCH(TInkEdge, edge);
    QFETCH(int, from);
    QFETCH(int, to);
    TPanelArgs a;
    a.rect = TRect(10, 5, 210, 65);
    a.start = a.end = MakeColorRef(20, 40, 60);
    a.caption = QStringLiteral("WW");
    a.alignment = std::uint8_t(alignment);
    const QImage img = RenderPanel(a, 220, 80);
    const QRect ink = InkBounds(img, QRect(10, 5, 200, 60), qRgb(20, 40, 60));
    QVERIFY(!ink.isEmpty());
    const int lineHeight = QFontMetrics(SongFont(12)).lineSpacing();
    // No vertical centring: the text starts at the top of the text rectangle.
    QVERIFY2(ink.top() <= 6 + lineHeight, qPrintable(QString::number(ink.top())));
    const int at = edge(ink);
    QVERIFY2(at >= from && at <= to, qPrintable(QString::number(at)));
}

void TestFunctionSet::captionWithoutText_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("alignment");
    QTest::newRow("blanks only") << QStringLiteral("   ") << 0;
    QTest::newRow("blanks and control characters") << QStringLiteral(" \t\r\n ") << 2;
    QTest::newRow("alignment 3") << QStringLiteral("Text") << 3;
    QTest::newRow("alignment 255") << QStringLiteral("Text") << 255;
}

void TestFunctionSet::captionWithoutText()
{
    QFETCH(QString, caption);
    QFETCH(int, alignment);
    TPanelArgs a;
    a.rect = TRect(0, 0, 100, 30);
    const QImage plain = RenderPanel(a, 110, 40);
    a.caption = caption;
    a.alignment = std::uint8_t(alignment);
    QCOMPARE(RenderPanel(a, 110, 40), plain);
    // The same panel with a real caption does differ (the comparison above can fail).
    a.caption = QStringLiteral("Text");
    a.alignment = 0;
    QVERIFY(RenderPanel(a, 110, 40) != plain);
}

void TestFunctionSet::captionLeadingBlanksAndLineBreaks()
{
    TPanelArgs a;
    a.rect = TRect(0, 0, 200, 80);
    a.start = a.end = MakeColorRef(20, 40, 60);
    const QRect area(0, 0, 200, 80);
    a.caption = QStringLiteral("W");
    const QRect bare = InkBounds(RenderPanel(a, 200, 80), area, qRgb(20, 40, 60));
    a.caption = QStringLiteral("   W");
    const QRect padded = InkBounds(RenderPanel(a, 200, 80), area, qRgb(20, 40, 60));
    QVERIFY2(padded.left() > bare.left() + 5, "leading blanks are drawn");

    a.caption = QStringLiteral("W\r\nW");
    const QRect twoLines = InkBounds(RenderPanel(a, 200, 80), area, qRgb(20, 40, 60));
    const int lineHeight = QFontMetrics(SongFont(12)).lineSpacing();
    QCOMPARE(twoLines.left(), bare.left());
    QVERIFY(twoLines.bottom() >= bare.bottom() + lineHeight - 1);
}

void TestFunctionSet::captionStaysInsideThePanel()
{
    TPanelArgs a;
    a.rect = TRect(0, 0, 30, 8); // far too small for the text
    a.start = a.end = MakeColorRef(20, 40, 60);
    a.caption = QStringLiteral("WWWWWWWWWW");
    const QImage img = RenderPanel(a, 40, 20);
    const QRgb bg = qRgb(20, 40, 60);
    for (int x = 0; x < 30; ++x) {
        QCOMPARE(img.pixel(x, 0), bg);
        QCOMPARE(img.pixel(x, 7), bg);
    }
    for (int y = 0; y < 8; ++y) {
        QCOMPARE(img.pixel(0, y), bg);
        QCOMPARE(img.pixel(29, y), bg);
    }
    QVERIFY(!InkBounds(img, QRect(1, 1, 28, 6), bg).isEmpty());
}

void TestFunctionSet::canvasStateRestored_data()
{
    QTest::addColumn<bool>("clearBrush");
    QTest::addColumn<bool>("frame");
    QTest::addColumn<QString>("caption");
    QTest::newRow("solid brush, frame and caption") << false << true << QStringLiteral("Caption");
    QTest::newRow("clear brush, frame and caption") << true << true << QStringLiteral("Caption");
    QTest::newRow("clear brush, frame only") << true << true << QString();
    QTest::newRow("solid brush, caption only") << false << false << QStringLiteral("Caption");
    QTest::newRow("clear brush, gradient only") << true << false << QString();
}

void TestFunctionSet::canvasStateRestored()
{
    QFETCH(bool, clearBrush);
    QFETCH(bool, frame);
    QFETCH(QString, caption);
    QImage img = BlankImage(60, 30);
    TCanvas canvas(&img);
    canvas.SetPenColor(0x00A1B2C3);
    canvas.SetBrushColor(0x00112233);
    canvas.SetBrushStyle(clearBrush ? TBrushStyle::bsClear : TBrushStyle::bsSolid);
    canvas.MoveTo(-4, 17);
    const QFont font = SongFont(12);
    canvas.SetFont(font);
    TqelFunctionSet fs;
    fs.DrawGradientPanel(&canvas, TRect(0, 0, 50, 20), 0x0000FF, 0xFF0000, frame, true, false, caption, 2);
    QCOMPARE(canvas.PenColor(), TColor(0x00A1B2C3));
    QCOMPARE(canvas.BrushColor(), TColor(0x00112233));
    QCOMPARE(canvas.BrushStyle(), clearBrush ? TBrushStyle::bsClear : TBrushStyle::bsSolid);
    QCOMPARE(canvas.PenPos(), QPoint(-4, 17));
    QCOMPARE(canvas.Font(), font);
}

// ---- the canvas ----

void TestFunctionSet::canvasLineToExcludesEndPoint_data()
{
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<int>("pixels");
    QTest::newRow("rightwards") << QPoint(2, 5) << QPoint(9, 5) << 7;
    QTest::newRow("leftwards") << QPoint(9, 5) << QPoint(2, 5) << 7;
    QTest::newRow("downwards") << QPoint(4, 1) << QPoint(4, 11) << 10;
    QTest::newRow("upwards") << QPoint(4, 11) << QPoint(4, 1) << 10;
    QTest::newRow("diagonal") << QPoint(1, 1) << QPoint(8, 8) << 7;
    QTest::newRow("steep") << QPoint(3, 1) << QPoint(5, 12) << 11;
    QTest::newRow("same point") << QPoint(3, 3) << QPoint(3, 3) << 0;
}

void TestFunctionSet::canvasLineToExcludesEndPoint()
{
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    QFETCH(int, pixels);
    QImage img = BlankImage(16, 16);
    {
        TCanvas canvas(&img);
        canvas.SetPenColor(MakeColorRef(255, 0, 0));
        canvas.MoveTo(from.x(), from.y());
        canvas.LineTo(to.x(), to.y());
        QCOMPARE(canvas.PenPos(), to);
    }
    int painted = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            painted += img.pixel(x, y) == qRgb(255, 0, 0);
    QCOMPARE(painted, pixels);
    QCOMPARE(img.pixel(to), kUntouched);
    if (pixels > 0)
        QCOMPARE(img.pixel(from), qRgb(255, 0, 0));
}

void TestFunctionSet::canvasFrameRectAndBrush()
{
    QImage img = BlankImage(16, 16);
    TCanvas canvas(&img);
    canvas.SetBrushStyle(TBrushStyle::bsClear);
    canvas.FrameRect(TRect(1, 1, 6, 6)); // a clear brush frames nothing
    QCOMPARE(img.pixel(1, 1), kUntouched);
    canvas.SetBrushColor(MakeColorRef(0, 0, 255)); // a colour makes the brush solid again
    QCOMPARE(canvas.BrushStyle(), TBrushStyle::bsSolid);
    canvas.FrameRect(TRect(1, 1, 6, 6));
    QCOMPARE(img.pixel(1, 1), qRgb(0, 0, 255));
    QCOMPARE(img.pixel(5, 5), qRgb(0, 0, 255));
    QCOMPARE(img.pixel(3, 5), qRgb(0, 0, 255));
    QCOMPARE(img.pixel(3, 3), kUntouched);
    QCOMPARE(img.pixel(6, 3), kUntouched);
    QCOMPARE(img.pixel(3, 6), kUntouched);
}

void TestFunctionSet::canvasOpaqueText()
{
    QImage img = BlankImage(80, 30);
    TCanvas canvas(&img);
    canvas.SetFont(SongFont(12));
    canvas.SetBrushColor(MakeColorRef(0, 255, 0));
    canvas.DrawText(QStringLiteral("ab"), TRect(2, 2, 78, 28), DT_LEFT);
    QCOMPARE(img.pixel(2, 2), qRgb(0, 255, 0)); // the solid brush fills the text's background
    QCOMPARE(img.pixel(70, 2), kUntouched);     // but only behind the text
    canvas.SetBrushStyle(TBrushStyle::bsClear);
    QImage img2 = BlankImage(80, 30);
    TCanvas clear(&img2);
    clear.SetFont(SongFont(12));
    clear.SetBrushStyle(TBrushStyle::bsClear);
    clear.DrawText(QStringLiteral("ab"), TRect(2, 2, 78, 28), DT_LEFT);
    QCOMPARE(img2.pixel(2, 2), kUntouched);
}

// ---- message boxes ----

void TestFunctionSet::msgBoxButtonsAndResults_data()
{
    QTest::addColumn<uint>("flags");
    QTest::addColumn<QList<int>>("buttons");
    QTest::addColumn<QMessageBox::Icon>("icon");
    QTest::addColumn<QMessageBox::StandardButton>("press");
    QTest::addColumn<int>("result");

    const QList<int> ok{QMessageBox::Ok};
    const QList<int> okCancel{QMessageBox::Ok, QMessageBox::Cancel};
    const QList<int> ari{QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore};
    const QList<int> ync{QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
    const QList<int> yn{QMessageBox::Yes, QMessageBox::No};
    const QList<int> rc{QMessageBox::Retry, QMessageBox::Cancel};

    QTest::newRow("16 error OK") << 16u << ok << QMessageBox::Critical << QMessageBox::Ok << IDOK;
    QTest::newRow("64 information OK") << 64u << ok << QMessageBox::Information << QMessageBox::Ok << IDOK;
    QTest::newRow("36 question yes") << 36u << yn << QMessageBox::Question << QMessageBox::Yes << IDYES;
    QTest::newRow("36 question no") << 36u << yn << QMessageBox::Question << QMessageBox::No << IDNO;
    QTest::newRow("48 warning OK/Cancel: cancel")
        << (MB_OKCANCEL | MB_ICONWARNING) << okCancel << QMessageBox::Warning << QMessageBox::Cancel << IDCANCEL;
    QTest::newRow("OK/Cancel: OK") << MB_OKCANCEL << okCancel << QMessageBox::NoIcon << QMessageBox::Ok << IDOK;
    QTest::newRow("abort") << MB_ABORTRETRYIGNORE << ari << QMessageBox::NoIcon << QMessageBox::Abort << IDABORT;
    QTest::newRow("retry") << MB_ABORTRETRYIGNORE << ari << QMessageBox::NoIcon << QMessageBox::Retry << IDRETRY;
    QTest::newRow("ignore") << MB_ABORTRETRYIGNORE << ari << QMessageBox::NoIcon << QMessageBox::Ignore << IDIGNORE;
    QTest::newRow("yes/no/cancel: cancel") << (MB_YESNOCANCEL | MB_ICONQUESTION) << ync << QMessageBox::Question
                                           << QMessageBox::Cancel << IDCANCEL;
    QTest::newRow("yes/no/cancel: no") << MB_YESNOCANCEL << ync << QMessageBox::NoIcon << QMessageBox::No << IDNO;
    QTest::newRow("retry/cancel: retry") << (MB_RETRYCANCEL | MB_ICONERROR) << rc << QMessageBox::Critical
                                         << QMessageBox::Retry << IDRETRY;
}

void TestFunctionSet::msgBoxButtonsAndResults()
{
    QFETCH(uint, flags);
    QFETCH(QList<int>, buttons);
    QFETCH(QMessageBox::Icon, icon);
    QFETCH(QMessageBox::StandardButton, press);
    QFETCH(int, result);

    QList<int> seenButtons;
    QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
    QString seenTitle, seenText;
    bool modal = false;
    QAccessible::Role seenRole = QAccessible::NoRole;
    QString seenIconName;
    WhenModal([&](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        QVERIFY(box);
        for (QAbstractButton *b : box->buttons())
            seenButtons << int(box->standardButton(b));
        seenIcon = box->icon();
        seenTitle = box->windowTitle();
        seenText = box->text();
        modal = box->windowModality() == Qt::ApplicationModal;
        // A screen reader finds the box as an alert, and hears the kind of message by the icon's name.
        QAccessibleInterface *alert = QAccessible::queryAccessibleInterface(box);
        seenRole = alert->role();
        for (int i = 0; i < alert->childCount(); ++i) {
            if (alert->child(i)->role() == QAccessible::Graphic)
                seenIconName = alert->child(i)->text(QAccessible::Name);
        }
        box->button(press)->click();
    });
    TqelFunctionSet fs;
    const int got = fs.MsgBox(QStringLiteral("删除这条记录?"), QStringLiteral("提示"), flags);
    QCOMPARE(got, result);
    std::sort(seenButtons.begin(), seenButtons.end());
    QList<int> expected = buttons;
    std::sort(expected.begin(), expected.end());
    QCOMPARE(seenButtons, expected);
    QCOMPARE(seenIcon, icon);
    QCOMPARE(seenTitle, QStringLiteral("提示"));
    QCOMPARE(seenText, QStringLiteral("删除这条记录?"));
    QVERIFY(modal);
    QCOMPARE(seenRole, QAccessible::AlertMessage);
    const QHash<int, QString> iconNames{{QMessageBox::Critical, QStringLiteral("错误")},
                                        {QMessageBox::Information, QStringLiteral("信息")},
                                        {QMessageBox::Question, QStringLiteral("问题")},
                                        {QMessageBox::Warning, QStringLiteral("警告")}};
    if (icon != QMessageBox::NoIcon)
        QCOMPARE(seenIconName, iconNames.value(icon));
}

void TestFunctionSet::msgBoxEscapeAndCloseBox_data()
{
    QTest::addColumn<uint>("flags");
    QTest::addColumn<bool>("useCloseBox");
    QTest::addColumn<int>("result"); // 0: neither Esc nor the close box ends the box

    QTest::newRow("OK: Esc gives IDOK") << 16u << false << IDOK;
    QTest::newRow("OK: close box gives IDOK") << 64u << true << IDOK;
    QTest::newRow("OK/Cancel: Esc gives IDCANCEL") << MB_OKCANCEL << false << IDCANCEL;
    QTest::newRow("Yes/No/Cancel: close box gives IDCANCEL") << MB_YESNOCANCEL << true << IDCANCEL;
    QTest::newRow("Retry/Cancel: Esc gives IDCANCEL") << MB_RETRYCANCEL << false << IDCANCEL;
    QTest::newRow("Yes/No: Esc does nothing") << 36u << false << 0;
    QTest::newRow("Yes/No: close box does nothing") << 36u << true << 0;
    QTest::newRow("Abort/Retry/Ignore: Esc does nothing") << MB_ABORTRETRYIGNORE << false << 0;
}

void TestFunctionSet::msgBoxEscapeAndCloseBox()
{
    QFETCH(uint, flags);
    QFETCH(bool, useCloseBox);
    QFETCH(int, result);

    bool stillOpen = false;
    WhenModal([&](QWidget *w) {
        QPointer<QMessageBox> box = qobject_cast<QMessageBox *>(w);
        QVERIFY(box);
        if (useCloseBox)
            box->close();
        else
            QTest::keyClick(box, Qt::Key_Escape);
        if (box && box->isVisible()) {
            stillOpen = true;
            // Leave through a real button.
            box->button(box->buttons().size() == 3 ? QMessageBox::Retry : QMessageBox::Yes)->click();
        }
    });
    TqelFunctionSet fs;
    const int got = fs.MsgBox(QStringLiteral("继续?"), QStringLiteral("提示"), flags);
    if (result == 0) {
        QVERIFY(stillOpen);
        QVERIFY(got == IDYES || got == IDRETRY);
    } else {
        QVERIFY(!stillOpen);
        QCOMPARE(got, result);
    }
}

void TestFunctionSet::msgBoxShowsTextPlainAndDefaultButton()
{
    Qt::TextFormat format = Qt::AutoText;
    QMessageBox::StandardButton def = QMessageBox::NoButton;
    WhenModal([&](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        format = box->textFormat();
        def = box->defaultButton() ? box->standardButton(box->defaultButton()) : QMessageBox::NoButton;
        box->button(QMessageBox::No)->click();
    });
    TqelFunctionSet fs;
    QCOMPARE(fs.MsgBox(QStringLiteral("<b>a&b</b>"), QStringLiteral("提示"), MB_YESNO | MB_DEFBUTTON2), IDNO);
    QCOMPARE(format, Qt::PlainText);
    QCOMPARE(def, QMessageBox::No);
}

void TestFunctionSet::msgBoxOwnerIsActiveWindowAndFocusReturns()
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *edit1 = new QLineEdit(&window);
    auto *edit2 = new QLineEdit(&window);
    layout->addWidget(edit1);
    layout->addWidget(edit2);
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    edit2->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), edit2);

    QWidget *owner = nullptr;
    WhenModal([&](QWidget *w) {
        owner = w->parentWidget();
        qobject_cast<QMessageBox *>(w)->button(QMessageBox::Ok)->click();
    });
    TqelFunctionSet fs;
    QCOMPARE(fs.MsgBox(QStringLiteral("好"), QStringLiteral("提示"), 64), IDOK);
    QCOMPARE(owner, &window);
    QTRY_COMPARE(QApplication::focusWidget(), edit2);

    window.hide();
    QApplication::setActiveWindow(nullptr);
    owner = &window;
    WhenModal([&](QWidget *w) {
        owner = w->parentWidget();
        qobject_cast<QMessageBox *>(w)->button(QMessageBox::Ok)->click();
    });
    QCOMPARE(fs.MsgBox(QStringLiteral("好"), QStringLiteral("提示"), 64), IDOK);
    QCOMPARE(owner, nullptr);
}

// ---- shared objects ----

void TestFunctionSet::globalObjects()
{
    QVERIFY(!g_FunctionSet && !g_FunParam && !g_UserSecurityData);
    CreateGlobalObjects();
    QVERIFY(g_UserSecurityData);
    QVERIFY(g_FunParam);
    QVERIFY(g_FunctionSet);
    QCOMPARE(g_FunParam->m_nIntValue, -1);
    QVERIFY(std::abs(g_FunParam->m_dtDateTime - NowAsDateTime()) < 1.0 / 24);
    FreeGlobalObjects();
    QVERIFY(!g_FunctionSet && !g_FunParam && !g_UserSecurityData);
}

QTEST_MAIN(TestFunctionSet)
void TestFunctionSet::msgBoxCentredOnTheScreen_data()
{
    QTest::addColumn<bool>("owned");
    QTest::addColumn<QPoint>("ownerAt");
    QTest::newRow("owner near the top left") << true << QPoint(40, 30);
    QTest::newRow("owner further in") << true << QPoint(300, 200);
    QTest::newRow("no owner") << false << QPoint();
}

// The box is placed as the platform's own: in the middle of the screen, whether or not it has an
// owner and wherever that is, not wherever the window manager would put a new window.
void TestFunctionSet::msgBoxCentredOnTheScreen()
{
    QFETCH(bool, owned);
    QFETCH(QPoint, ownerAt);
    QWidget owner;
    owner.setGeometry(QRect(ownerAt, QSize(500, 360)));
    if (owned) {
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
    }
    TCentredMessageBox box(QMessageBox::Information, QStringLiteral("提示"), QStringLiteral("导入图片结束!"),
                           owned ? &owner : nullptr);
    box.setStandardButtons(QMessageBox::Ok);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    const QPoint centre = box.screen()->geometry().center();
    QVERIFY2((box.frameGeometry().center() - centre).manhattanLength() <= 8,
             qPrintable(QStringLiteral("box centre %1,%2, expected %3,%4")
                        .arg(box.frameGeometry().center().x())
                        .arg(box.frameGeometry().center().y())
                        .arg(centre.x())
                        .arg(centre.y())));
    QAccessibleInterface *alert = QAccessible::queryAccessibleInterface(&box);
    bool named = false;
    for (int i = 0; i < alert->childCount(); ++i)
        named = named || (alert->child(i)->role() == QAccessible::Graphic && alert->child(i)->text(QAccessible::Name) == QStringLiteral("信息"));
    QVERIFY(named);
}

#include "test_function_set.moc"
