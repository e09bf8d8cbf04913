#pragma once
// Shared pieces of the demo catalogue's illustrations, on top of the canvas every picture uses: a
// fixed random sequence, the CJK fonts, smooth outlines, labels, and the page every picture is drawn
// on (background, frame, caption). Everything here is a pure function of its arguments, so a picture
// comes out the same on every run.
#include "demo/art/ArtCanvas.h"
#include "demo/art/TArtFrame.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>
#include <QString>
#include <QVector>

#include <cstdint>
#include <functional>

// splitmix64: the same numbers on every machine and run (never seeded from time or qHash).
class TDemoRandom {
public:
    explicit TDemoRandom(std::uint64_t seed) : m_state(seed) {}
    // Seeded by a stable hash (FNV-1a over UTF-8) of a key and a salt.
    static TDemoRandom ForKey(const QString &key, int salt = 0);

    std::uint64_t Next();
    double Uniform();                     // [0, 1)
    double Range(double lo, double hi);   // [lo, hi)
    int Below(int n);                     // 0 .. n-1

private:
    std::uint64_t m_state;
};

// A stable 64-bit hash of text, the same on every run (qHash is seeded per process).
std::uint64_t DemoStableHash(const QString &text);

QFont DemoSerif(double pixelSize, bool bold = false);
QFont DemoSans(double pixelSize, bool bold = false);

// A closed or open smooth curve through the points (Catmull-Rom turned into cubic Béziers).
QPainterPath DemoSmoothPath(const QVector<QPointF> &points, bool closed);
// The same points mirrored about the vertical line x = axis, in reverse order.
QVector<QPointF> DemoMirrored(const QVector<QPointF> &points, double axis);

QColor DemoMix(const QColor &a, const QColor &b, double t);

// A label with a thin leader line from anchor to the text, which sits left or right of textAt.
void DemoDrawLabel(QPainter &p, QPointF anchor, QPointF textAt, const QString &text, const QColor &ink,
                   double pixelSize);
// Text centred on a point, with a soft halo so it reads on any background.
void DemoDrawCentredText(QPainter &p, QPointF centre, const QString &text, const QFont &font, const QColor &ink,
                         const QColor &halo);
// A scale bar of the given length (in the painter's units) with its text under it.
void DemoDrawScaleBar(QPainter &p, QPointF left, double length, const QString &text, const QColor &ink);

// The colours of a page, in the order an atlas gives them: {paper top, paper bottom, caption band,
// caption's second ink, frame}; what is left out keeps the default, the caption's title stays light.
struct TDemoPageStyle {
    QColor paperTop = QColor(252, 250, 244);
    QColor paperBottom = QColor(241, 236, 224);
    QColor captionBand = QColor(60, 52, 44);
    QColor captionSubInk = QColor(214, 200, 176);
    QColor frame = QColor(150, 135, 110);
    QColor captionInk = QColor(250, 246, 236);
};

// One picture: paints the paper and frame at construction; the caller draws into ArtRect(),
// optionally in design units through FitDesign(), then adds the caption and takes the image.
class TDemoPage {
public:
    TDemoPage(QSize size, const TDemoPageStyle &style);
    TDemoPage(const TDemoPage &) = delete;
    TDemoPage &operator=(const TDemoPage &) = delete;

    QPainter &Painter() { return m_painter; }
    QSize Size() const { return m_image.size(); }
    // The area above the caption band, inside the frame (pixels).
    QRectF ArtRect() const { return m_art; }
    // Shortest side of the picture, the unit for line widths and text in pixels.
    double Unit() const { return std::min(m_image.width(), m_image.height()); }

    // Sets the painter to draw a design of the given size centred in the art area (aspect kept);
    // returns the scale from design units to pixels.
    double FitDesign(QSizeF design, double margin = 0.03);
    // Like FitDesign, but the design point `focus` is shown zoom times larger at the art centre.
    double ZoomDesign(QSizeF design, QPointF focus, double zoom);
    void ResetTransform() { m_painter.resetTransform(); }

    // The ground of the art area, painted before the view's design is fitted: a colour, or a gradient
    // light in the middle fading outwards, from the top left corner to the bottom right, or from the
    // top down.
    void FillArt(const QColor &ground);
    void FillArtRadial(std::initializer_list<TArtStop> stops);
    void FillArtDiagonal(std::initializer_list<TArtStop> stops);
    void FillArtVertical(std::initializer_list<TArtStop> stops);

    // The caption band: the entry's name large, what the picture shows after it, a tag on the right.
    void DrawCaption(const QString &title, const QString &subtitle, const QString &tag);
    QImage Finish();

private:
    QImage m_image;
    QPainter m_painter;
    TDemoPageStyle m_style;
    QRectF m_art;
};

// The caption's second part: the entry's group (UTF-8) and what this view shows, as "group · view".
QString DemoSubtitle(const char *group, const QString &view);

// One finished picture: a page in `style`, the view that `draw` paints on it, then the caption band
// (the entry's name, what the picture shows, the atlas's tag).
QImage DemoPicture(QSize size, const TDemoPageStyle &style, const QString &title, const QString &subtitle,
                   const QString &tag, const std::function<void(TDemoPage &)> &draw);
