// Draws the artwork of the common dialogs and the program icon into resources/ (run by hand when the
// artwork changes; the generated files are kept in the repository):
//   tavelin-artwork <resources-dir>
// The icon comes at the sizes of the program's windows and of the desktop's icon theme, and as SVG.
#include "demo/art/ArtCanvas.h"
#include "demo/art/ArtImage.h"

#include <QDir>
#include <QGuiApplication>
#ifdef TAVELIN_ARTWORK_SVG
#include <QSvgGenerator>
#endif
#include <cstdio>

namespace {

// The maker's banner: name, slogan and a small mark on a deep blue field.
QImage Banner()
{
    QImage img = ArtFilledImage(QSize(407, 100), ArtLinearGradient(QPointF(0, 0), QPointF(407, 100),
            {{0.0, QColor(12, 52, 112)}, {0.55, QColor(24, 92, 160)}, {1.0, QColor(44, 140, 190)}}));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // Soft sweeping arcs on the right.
    p.setPen(Qt::NoPen);
    for (int k = 0; k < 4; ++k) {
        QColor c(255, 255, 255, 16 + 6 * k);
        p.setBrush(c);
        QPainterPath arc;
        arc.addEllipse(QPointF(430 - 18 * k, 120 + 8 * k), 150 - 22 * k, 110 - 16 * k);
        p.drawPath(arc);
    }
    // A thin light line under the text block.
    const QLinearGradient line = ArtLinearGradient(QPointF(96, 0), QPointF(330, 0),
                                                   {{0, QColor(255, 255, 255, 170)}, {1, QColor(255, 255, 255, 0)}});
    p.fillRect(QRectF(96, 60, 240, 1), line);

    // The mark: a ring holding a cross, in white and warm orange.
    const QPointF c(52, 50);
    p.setBrush(ArtGlowGradient(c, 36, QColor(255, 255, 255, 60)));
    p.drawEllipse(c, 36, 36);
    ArtDrawEllipse(p, c, 26, 26, Qt::NoBrush, QPen(QColor(255, 255, 255), 4));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(246, 150, 40));
    ArtDrawCross(p, c, 16, 5.5, 2);

    QFont name = ArtFont(QStringLiteral("DejaVu Serif"), 34, QFont::Bold);
    name.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
    p.setFont(name);
    p.setPen(QColor(255, 255, 255));
    p.drawText(QRectF(96, 14, 300, 44), Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("Corvale"));

    p.setFont(ArtFont(QStringLiteral("Noto Sans CJK SC"), 14));
    p.setPen(QColor(226, 238, 252));
    p.drawText(QRectF(98, 64, 300, 20), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("精于医学图像 · 用心服务临床"));
    QFont small = ArtFont(QStringLiteral("DejaVu Sans"), 9);
    small.setLetterSpacing(QFont::AbsoluteSpacing, 1.2);
    p.setFont(small);
    p.setPen(QColor(170, 205, 235));
    p.drawText(QRectF(98, 82, 300, 12), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("MEDICAL IMAGING SOFTWARE"));
    return img;
}

// The thin strip: blue at both ends, orange in the middle.
QImage Strip(int w, int h)
{
    QImage img = ArtFilledImage(QSize(w, h), ArtLinearGradient(QPointF(0, 0), QPointF(w, 0),
            {{0.0, QColor(20, 70, 150)}, {0.3, QColor(40, 110, 190)}, {0.5, QColor(250, 150, 30)},
             {0.7, QColor(40, 110, 190)}, {1.0, QColor(20, 70, 150)}}));
    // A faint highlight on the top line gives it some depth.
    QPainter(&img).fillRect(QRect(0, 0, w, 1), QColor(255, 255, 255, 60));
    return img;
}

// The background: white on the left fading to light blue on the right.
QImage Background(int w, int h)
{
    return ArtFilledImage(QSize(w, h), ArtLinearGradient(QPointF(0, 0), QPointF(w, 0),
            {{0.0, QColor(255, 255, 255)}, {0.45, QColor(246, 250, 255)}, {1.0, QColor(203, 225, 248)}}));
}

// The input window's header: a blue horizontal gradient that carries white text.
QImage Header(int w, int h)
{
    QImage img = ArtFilledImage(QSize(w, h), ArtLinearGradient(QPointF(0, 0), QPointF(w, 0),
            {{0.0, QColor(18, 62, 138)}, {0.6, QColor(40, 104, 180)}, {1.0, QColor(96, 160, 220)}}));
    // A shine from the top and a shade at the bottom make it look raised.
    const QLinearGradient shine = ArtLinearGradient(QPointF(0, 0), QPointF(0, h),
            {{0.0, QColor(255, 255, 255, 40)}, {0.5, QColor(255, 255, 255, 0)}, {1.0, QColor(0, 0, 0, 30)}});
    QPainter(&img).fillRect(img.rect(), shine);
    return img;
}

// 16 x 16: a form sheet with lines and a pencil, on a transparent ground (pixel art, no smoothing).
QImage FormWithPencil()
{
    QImage img(16, 16, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    // The sheet.
    p.fillRect(QRect(1, 0, 11, 15), QColor(120, 120, 130));
    p.fillRect(QRect(2, 1, 9, 13), QColor(255, 255, 255));
    p.fillRect(QRect(2, 1, 9, 2), QColor(70, 120, 200)); // title bar of the form
    for (int y : {5, 7, 9, 11})
        p.fillRect(QRect(3, y, y == 11 ? 4 : 7, 1), QColor(150, 160, 180));
    // The pencil, from the lower left tip up to the upper right end.
    const QColor body(240, 190, 40), edge(180, 120, 20), tip(60, 60, 60), wood(235, 205, 160),
        rubber(230, 110, 120);
    for (int i = 0; i < 7; ++i) {
        const int x = 8 + i, y = 14 - i;
        img.setPixelColor(x, y - 1, body);
        img.setPixelColor(x + 1, y - 1, edge);
        img.setPixelColor(x, y, edge);
    }
    img.setPixelColor(7, 14, wood);
    img.setPixelColor(8, 14, wood);
    img.setPixelColor(7, 15, tip);
    img.setPixelColor(6, 15, tip);
    img.setPixelColor(14, 7, rubber);
    img.setPixelColor(15, 7, rubber);
    img.setPixelColor(15, 8, rubber);
    return img;
}

// The program icon on a 64 x 64 canvas: an open atlas with a picture of a herb leaf and a red cross,
// on a blue tile.
void PaintProgramIcon(QPainter &p)
{
    const QLinearGradient tile = ArtLinearGradient(QPointF(0, 0), QPointF(0, 64),
                                                   {{0, QColor(52, 130, 205)}, {1, QColor(18, 66, 140)}});
    p.setPen(Qt::NoPen);
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);

    // The open book: two pages meeting at a spine.
    QPainterPath left, right;
    left.moveTo(32, 18);
    left.cubicTo(26, 14, 16, 13, 8, 15);
    left.lineTo(8, 50);
    left.cubicTo(16, 48, 26, 49, 32, 53);
    left.closeSubpath();
    right.moveTo(32, 18);
    right.cubicTo(38, 14, 48, 13, 56, 15);
    right.lineTo(56, 50);
    right.cubicTo(48, 48, 38, 49, 32, 53);
    right.closeSubpath();
    p.setBrush(QColor(12, 40, 90, 90));
    p.drawPath(left.translated(0, 2));
    p.drawPath(right.translated(0, 2));
    p.setBrush(QColor(255, 255, 255));
    p.drawPath(left);
    p.setBrush(QColor(236, 244, 252));
    p.drawPath(right);
    p.setPen(QPen(QColor(150, 180, 215), 1.2));
    p.drawLine(QPointF(32, 19), QPointF(32, 52));

    // Left page: a herb leaf in a picture frame.
    p.setPen(QPen(QColor(120, 150, 190), 1.0));
    p.setBrush(QColor(214, 238, 214));
    p.drawRect(QRectF(12, 21, 16, 18));
    QPainterPath leaf;
    leaf.moveTo(14.5, 37);
    leaf.cubicTo(14, 28, 20, 23, 26, 23);
    leaf.cubicTo(26, 31, 21, 37, 14.5, 37);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(46, 150, 70));
    p.drawPath(leaf);
    p.setPen(QPen(QColor(230, 250, 230), 1.0));
    p.drawLine(QPointF(15.5, 36), QPointF(24, 25.5));

    // Right page: a red cross above two text lines.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(214, 46, 46));
    ArtDrawCross(p, QPointF(44, 29), 8, 3, 1);
    p.setBrush(QColor(150, 175, 205));
    p.drawRect(QRectF(36, 41, 16, 1.8));
    p.drawRect(QRectF(36, 45, 11, 1.8));
}

QImage ProgramIcon(int size)
{
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    PaintProgramIcon(p);
    return img;
}

bool SaveProgramIconSvg(const QString &path)
{
#ifndef TAVELIN_ARTWORK_SVG
    std::fprintf(stderr, "%s not drawn: built without Qt SVG (qt6-svg-dev)\n", qPrintable(path));
    return true;
#else
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(QSize(64, 64));
    svg.setViewBox(QRectF(0, 0, 64, 64));
    svg.setTitle(QStringLiteral("Tavelin"));
    QPainter p;
    if (!p.begin(&svg)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    p.setRenderHint(QPainter::Antialiasing);
    PaintProgramIcon(p);
    p.end();
    std::printf("%s 64x64 (scalable)\n", qPrintable(path));
    return true;
#endif
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: tavelin-artwork <resources-dir>\n");
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    root.mkpath(QStringLiteral("glo"));
    root.mkpath(QStringLiteral("icons"));
    bool ok = true;
    ok &= ArtSaveImage(Banner(), root.filePath(QStringLiteral("glo/about_banner.jpg")), 92);
    ok &= ArtSaveImage(Strip(392, 7), root.filePath(QStringLiteral("glo/strip.jpg")), 95);
    ok &= ArtSaveImage(Background(176, 2), root.filePath(QStringLiteral("glo/background.jpg")), 95);
    ok &= ArtSaveImage(Header(343, 37), root.filePath(QStringLiteral("glo/input_header.png")));
    ok &= ArtSaveImage(FormWithPencil(), root.filePath(QStringLiteral("glo/form_pencil.png")));
    ok &= ArtSaveImage(ProgramIcon(256), root.filePath(QStringLiteral("icons/tavelin.png")));
    for (int s : {16, 24, 30, 32, 48, 64, 128, 256, 512})
        ok &= ArtSaveImage(ProgramIcon(s), root.filePath(QStringLiteral("icons/tavelin-%1.png").arg(s)));
    ok &= SaveProgramIconSvg(root.filePath(QStringLiteral("icons/tavelin.svg")));
    return ok ? 0 : 1;
}
