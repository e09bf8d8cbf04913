// Draws the main window's pictures: the start page's banner and contact card, the six atlas button
// pictures and the quit button's door. Small pictures are drawn four times larger and reduced, which
// gives clean edges at 32 x 32.
#include "demo/art/ArtCanvas.h"
#include "demo/art/ArtImage.h"
#include "demo/art/TArtFrame.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>

namespace {

constexpr int kScale = 4;

QImage DrawIcon(const std::function<void(QPainter &)> &draw)
{
    return ArtSupersampled(QSize(32, 32), kScale, Qt::transparent, draw);
}

// Two leaves on a curved stem, the herbs' atlas.
void DrawHerb(QPainter &p)
{
    p.setPen(ArtRoundPen(QColor(96, 64, 30), 1.6));
    QPainterPath stem;
    stem.moveTo(9, 30);
    stem.cubicTo(11, 22, 14, 16, 21, 9);
    p.drawPath(stem);

    auto leaf = [&](QPointF base, QPointF tip, qreal bulge, QColor light, QColor dark) {
        const QPointF d = tip - base;
        const QPointF n(-d.y(), d.x());
        QPainterPath path;
        path.moveTo(base);
        path.quadTo(base + d * 0.5 + n * bulge, tip);
        path.quadTo(base + d * 0.5 - n * bulge, base);
        const QLinearGradient g = ArtLinearGradient(base + n * bulge, base - n * bulge, {{0, light}, {1, dark}});
        ArtDrawShape(p, path, g, ArtRoundPen(dark.darker(140), 0.8));
        p.setPen(ArtRoundPen(QColor(230, 245, 200), 0.6));
        p.drawLine(base + d * 0.08, tip - d * 0.12);
    };
    leaf(QPointF(16, 14), QPointF(30, 2), 0.38, QColor(150, 215, 90), QColor(40, 130, 40));
    leaf(QPointF(12, 21), QPointF(2, 8), 0.36, QColor(170, 225, 110), QColor(50, 140, 45));
    leaf(QPointF(10, 26), QPointF(24, 24), 0.33, QColor(140, 205, 80), QColor(35, 120, 35));
}

// A fine needle with a coiled handle pointing at a marked point, the acupuncture atlas.
void DrawAcupuncture(QPainter &p)
{
    // The point on the skin with its rings.
    const QRadialGradient glow = ArtGlowGradient(QPointF(8, 24), 7.5, QColor(255, 120, 90, 200));
    ArtDrawEllipse(p, QPointF(8, 24), 7.5, 7.5, glow, Qt::NoPen);
    ArtDrawEllipse(p, QPointF(8, 24), 5, 5, Qt::NoBrush, ArtRoundPen(QColor(200, 40, 40), 0.7));
    ArtDrawEllipse(p, QPointF(8, 24), 2.2, 2.2, QColor(210, 20, 20), Qt::NoPen);

    // The shaft.
    const QLinearGradient steel = ArtLinearGradient(QPointF(9, 23), QPointF(22, 10),
                                                    {{0, QColor(90, 100, 112)}, {1, QColor(170, 178, 190)}});
    p.setPen(QPen(QBrush(steel), 1.7, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(9.2, 22.8), QPointF(21, 11));
    // The coiled handle.
    const TArtFrame handle(p, QPointF(25.5, 6.5), -45);
    const QLinearGradient gold = ArtLinearGradient(QPointF(0, -2.4), QPointF(0, 2.4),
            {{0, QColor(255, 230, 140)}, {0.5, QColor(215, 160, 40)}, {1, QColor(150, 100, 20)}});
    p.setBrush(gold);
    p.setPen(ArtRoundPen(QColor(120, 80, 10), 0.6));
    p.drawRoundedRect(QRectF(-6, -2.2, 12, 4.4), 1.2, 1.2);
    p.setPen(ArtRoundPen(QColor(130, 85, 10), 0.5));
    for (qreal x = -4.5; x < 5; x += 1.5)
        p.drawLine(QPointF(x, -2.1), QPointF(x + 0.8, 2.1));
    ArtDrawEllipse(p, QPointF(6.6, 0), 1.6, 1.6, QColor(200, 60, 50), ArtRoundPen(QColor(120, 30, 20), 0.5));
}

// An eye over a tongue, the inspection atlas (look at the face, look at the tongue).
void DrawInspection(QPainter &p)
{
    QPainterPath eye;
    eye.moveTo(2, 11);
    eye.quadTo(16, -1, 30, 11);
    eye.quadTo(16, 23, 2, 11);
    ArtDrawShape(p, eye, QColor(252, 252, 255), ArtRoundPen(QColor(40, 50, 80), 1.2));
    p.save();
    p.setClipPath(eye);
    const QRadialGradient iris = ArtRadialGradient(QPointF(16, 11), 5.6,
            {{0, QColor(150, 100, 50)}, {0.7, QColor(100, 60, 25)}, {1, QColor(60, 35, 15)}});
    ArtDrawEllipse(p, QPointF(16, 11), 5.6, 5.6, iris, Qt::NoPen);
    p.setBrush(QColor(15, 10, 10));
    p.drawEllipse(QPointF(16, 11), 2.4, 2.4);
    p.setBrush(QColor(255, 255, 255, 220));
    p.drawEllipse(QPointF(14.2, 9.2), 1.2, 1.2);
    p.restore();
    // Lashes.
    p.setPen(ArtRoundPen(QColor(40, 50, 80), 0.9));
    p.drawLine(QPointF(9, 6.2), QPointF(7.8, 3.6));
    p.drawLine(QPointF(16, 4.9), QPointF(16, 2.0));
    p.drawLine(QPointF(23, 6.2), QPointF(24.2, 3.6));

    // The tongue.
    QPainterPath tongue;
    tongue.moveTo(8, 21);
    tongue.lineTo(24, 21);
    tongue.cubicTo(25, 27, 21, 31, 16, 31);
    tongue.cubicTo(11, 31, 7, 27, 8, 21);
    const QLinearGradient pink = ArtLinearGradient(QPointF(0, 21), QPointF(0, 31),
                                                   {{0, QColor(245, 140, 150)}, {1, QColor(210, 80, 95)}});
    ArtDrawShape(p, tongue, pink, ArtRoundPen(QColor(150, 40, 55), 0.9));
    p.setPen(ArtRoundPen(QColor(170, 50, 70), 0.7));
    p.drawLine(QPointF(16, 22), QPointF(16, 27.5));
    // Lips.
    p.setBrush(QColor(190, 70, 80));
    p.setPen(ArtRoundPen(QColor(130, 35, 45), 0.7));
    p.drawRoundedRect(QRectF(6, 19.2, 20, 2.6), 1.3, 1.3);
}

// A skull, the anatomy atlas.
void DrawAnatomy(QPainter &p)
{
    QPainterPath skull;
    skull.moveTo(7, 18);
    skull.cubicTo(3, 8, 10, 2, 16, 2);
    skull.cubicTo(22, 2, 29, 8, 25, 18);
    skull.lineTo(23, 21);
    skull.lineTo(23, 25);
    skull.lineTo(9, 25);
    skull.lineTo(9, 21);
    skull.closeSubpath();
    const QRadialGradient bone = ArtRadialGradient(QPointF(13, 9), 16,
            {{0, QColor(255, 253, 240)}, {0.7, QColor(232, 222, 190)}, {1, QColor(190, 175, 135)}});
    ArtDrawShape(p, skull, bone, ArtRoundPen(QColor(90, 75, 50), 1.0));
    // Jaw with teeth.
    const QPainterPath jaw = ArtPolygonPath({{10, 25}, {22, 25}, {21, 30}, {11, 30}});
    p.drawPath(jaw);
    p.setPen(ArtRoundPen(QColor(110, 95, 65), 0.6));
    for (qreal x = 13; x < 21; x += 2)
        p.drawLine(QPointF(x, 25), QPointF(x, 28.5));
    p.drawLine(QPointF(10.5, 27), QPointF(21.5, 27));
    // Sockets and nose.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 45, 35));
    QPainterPath leftEye;
    leftEye.addEllipse(QPointF(11.3, 14.5), 3.4, 3.0);
    QPainterPath rightEye;
    rightEye.addEllipse(QPointF(20.7, 14.5), 3.4, 3.0);
    p.drawPath(leftEye);
    p.drawPath(rightEye);
    const QPainterPath nose = ArtPolygonPath({{16, 17.5}, {14.3, 21.5}, {17.7, 21.5}});
    p.drawPath(nose);
}

// A clipboard with a chart and a stethoscope, the clinical atlas.
void DrawClinical(QPainter &p)
{
    const QLinearGradient board = ArtLinearGradient(QPointF(0, 3), QPointF(0, 31),
                                                    {{0, QColor(190, 130, 70)}, {1, QColor(140, 90, 45)}});
    p.setBrush(board);
    p.setPen(ArtRoundPen(QColor(90, 55, 25), 0.9));
    p.drawRoundedRect(QRectF(4, 4, 20, 27), 2, 2);
    p.setBrush(QColor(255, 255, 255));
    p.setPen(ArtRoundPen(QColor(160, 160, 160), 0.5));
    p.drawRect(QRectF(6.5, 7.5, 15, 21));
    // Clip.
    const QLinearGradient metal = ArtLinearGradient(QPointF(0, 2), QPointF(0, 8),
                                                    {{0, QColor(235, 238, 242)}, {1, QColor(140, 148, 158)}});
    p.setBrush(metal);
    p.setPen(ArtRoundPen(QColor(90, 95, 105), 0.7));
    p.drawRoundedRect(QRectF(10, 2, 8, 5.5), 1.5, 1.5);
    // Red cross and chart lines.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(215, 30, 40));
    p.drawRect(QRectF(8.5, 11, 5, 1.6));
    p.drawRect(QRectF(10.2, 9.3, 1.6, 5));
    p.setPen(ArtRoundPen(QColor(90, 120, 170), 0.8));
    p.drawLine(QPointF(15, 11.8), QPointF(20, 11.8));
    p.drawLine(QPointF(8.5, 17), QPointF(19.5, 17));
    p.drawLine(QPointF(8.5, 20), QPointF(17, 20));
    p.drawLine(QPointF(8.5, 23), QPointF(18.5, 23));

    // Stethoscope: tubing from the ear pieces down to the chest piece.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(30, 60, 120), 1.8, Qt::SolidLine, Qt::RoundCap));
    QPainterPath tube;
    tube.moveTo(22, 7);
    tube.cubicTo(31, 10, 31, 22, 26, 25);
    p.drawPath(tube);
    p.setPen(QPen(QColor(60, 60, 70), 1.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(22, 7), QPointF(20.5, 5));
    const QRadialGradient chest = ArtRadialGradient(QPointF(24.5, 26), 4,
                                                    {{0, QColor(245, 248, 252)}, {1, QColor(120, 128, 140)}});
    ArtDrawEllipse(p, QPointF(25, 27), 3.6, 3.6, chest, ArtRoundPen(QColor(60, 65, 75), 0.8));
    ArtDrawEllipse(p, QPointF(25, 27), 1.4, 1.4, QColor(80, 85, 95), Qt::NoPen);
}

// A photograph over an open folder, the miscellaneous atlas the user fills himself.
void DrawMiscellaneous(QPainter &p)
{
    // Back of the folder.
    const QPainterPath back = ArtPolygonPath({{2, 8}, {11, 8}, {13, 10.5}, {29, 10.5}, {29, 28}, {2, 28}});
    ArtDrawShape(p, back, QColor(220, 165, 40), ArtRoundPen(QColor(150, 105, 15), 0.9));

    // The photograph, tilted, standing in the folder.
    {
        const TArtFrame photo(p, QPointF(17, 13), -8);
        p.setBrush(QColor(255, 255, 255));
        p.setPen(ArtRoundPen(QColor(120, 120, 120), 0.6));
        p.drawRect(QRectF(-9, -10, 18, 15));
        const QLinearGradient sky = ArtLinearGradient(QPointF(0, -8.5), QPointF(0, 3.5),
                                                      {{0, QColor(90, 160, 235)}, {1, QColor(190, 225, 250)}});
        p.setBrush(sky);
        p.setPen(Qt::NoPen);
        p.drawRect(QRectF(-7.5, -8.5, 15, 12));
        p.setBrush(QColor(255, 210, 60));
        p.drawEllipse(QPointF(3.5, -5), 1.8, 1.8);
        const QPainterPath hills =
            ArtPolygonPath({{-7.5, 3.5}, {-7.5, -1}, {-3, -5.5}, {1, -1.5}, {3.5, -3.5}, {7.5, 0}, {7.5, 3.5}});
        p.setBrush(QColor(60, 150, 70));
        p.drawPath(hills);
    }

    // Front of the folder.
    const QPainterPath front = ArtPolygonPath({{1, 15}, {27.5, 15}, {30.5, 29}, {3.5, 29}});
    const QLinearGradient face = ArtLinearGradient(QPointF(0, 15), QPointF(0, 29),
                                                   {{0, QColor(255, 222, 110)}, {1, QColor(240, 180, 50)}});
    ArtDrawShape(p, front, face, ArtRoundPen(QColor(150, 105, 15), 0.9));
}

// An open door with an arrow leaving through it, the quit button.
void DrawDoor(QPainter &p)
{
    // Frame and the dark opening.
    p.setBrush(QColor(40, 35, 45));
    p.setPen(ArtRoundPen(QColor(90, 60, 35), 1.4));
    p.drawRect(QRectF(5, 3, 16, 27));
    // The door leaf, swung open toward the viewer.
    const QPainterPath leaf = ArtPolygonPath({{5, 3}, {14, 6}, {14, 31}, {5, 30}});
    const QLinearGradient wood = ArtLinearGradient(QPointF(5, 0), QPointF(14, 0),
                                                   {{0, QColor(170, 105, 50)}, {1, QColor(120, 70, 30)}});
    ArtDrawShape(p, leaf, wood, ArtRoundPen(QColor(80, 45, 15), 0.9));
    p.setPen(ArtRoundPen(QColor(95, 55, 20), 0.6));
    p.drawLine(QPointF(7, 9), QPointF(12, 10.5));
    p.drawLine(QPointF(7, 22), QPointF(12, 22.8));
    ArtDrawEllipse(p, QPointF(12, 18), 1.2, 1.2, QColor(240, 200, 80), ArtRoundPen(QColor(140, 100, 20), 0.5));
    // The arrow.
    const QPainterPath arrow = ArtPolygonPath({{15, 14}, {23, 14}, {23, 10}, {30.5, 17}, {23, 24}, {23, 20}, {15, 20}});
    const QLinearGradient green = ArtLinearGradient(QPointF(0, 10), QPointF(0, 24),
                                                    {{0, QColor(120, 220, 90)}, {1, QColor(30, 140, 40)}});
    ArtDrawShape(p, arrow, green, ArtRoundPen(QColor(20, 90, 25), 0.8));
}

// The start page's banner: the product's name in large red lettering.
QImage DrawBanner()
{
    const int w = 619, h = 49;
    QImage img = ArtFilledImage(QSize(w, h), ArtLinearGradient(QPointF(0, 0), QPointF(w, 0),
            {{0, QColor(255, 255, 255)}, {0.55, QColor(246, 248, 255)}, {1, QColor(214, 224, 250)}}));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    // A thin rule along the bottom, red fading into blue.
    const QLinearGradient rule = ArtLinearGradient(QPointF(0, 0), QPointF(w, 0),
            {{0, QColor(200, 20, 30)}, {0.45, QColor(230, 120, 60)}, {1, QColor(60, 90, 190)}});
    p.fillRect(QRect(0, h - 3, w, 3), rule);

    // The name, with a soft shadow.
    const QFont nameFont = ArtFont(QStringLiteral("DejaVu Serif"), 40, QFont::Bold, true);
    QPainterPath name;
    name.addText(QPointF(14, 40), nameFont, QStringLiteral("Tavelin"));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 0, 0, 70));
    p.drawPath(name.translated(2.5, 2.5));
    const QLinearGradient red = ArtLinearGradient(QPointF(0, 6), QPointF(0, 42),
            {{0, QColor(255, 70, 60)}, {0.5, QColor(220, 20, 25)}, {1, QColor(150, 0, 10)}});
    ArtDrawShape(p, name, red, QPen(QColor(110, 0, 0), 0.8));

    const qreal nameRight = 14 + name.boundingRect().width() + 18;
    p.setPen(QPen(QColor(200, 30, 35), 1.5));
    p.drawLine(QPointF(nameRight, 12), QPointF(nameRight, 38));
    p.setPen(QColor(170, 20, 25));
    p.setFont(ArtFont(QStringLiteral("Noto Serif CJK SC"), 22, QFont::Bold));
    p.drawText(QRectF(nameRight + 14, 4, 200, 28), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("医学图谱"));
    p.setPen(QColor(70, 80, 120));
    p.setFont(ArtFont(QStringLiteral("DejaVu Sans"), 11, QFont::Normal));
    p.drawText(QRectF(nameRight + 15, 29, 260, 16), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Medical Picture Atlas"));

    p.setPen(QColor(40, 60, 140));
    p.setFont(ArtFont(QStringLiteral("Noto Serif CJK SC"), 13, QFont::Normal));
    p.drawText(QRectF(w - 190, 8, 176, 20), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("中药 · 针灸 · 望诊"));
    p.drawText(QRectF(w - 190, 24, 176, 20), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("解剖 · 临床 · 自建图库"));
    return img;
}

// The contact card at the lower right of the start page: the maker's mark and its web address.
QImage DrawContactCard()
{
    const int s = 105;
    return ArtSupersampled(QSize(s, s), kScale, QColor(248, 249, 255), [&](QPainter &p) {
        const QLinearGradient bg = ArtLinearGradient(QPointF(0, 0), QPointF(0, s),
                                                     {{0, QColor(235, 242, 255)}, {1, QColor(195, 210, 245)}});
        p.setBrush(bg);
        p.setPen(QPen(QColor(90, 110, 170), 1));
        p.drawRoundedRect(QRectF(0.5, 0.5, s - 1, s - 1), 8, 8);

        // The maker's mark: a ring with a medical cross and a leaf.
        const QPointF c(52.5, 34);
        const QRadialGradient ring = ArtRadialGradient(c, 24,
                {{0, QColor(255, 255, 255)}, {0.75, QColor(230, 238, 255)}, {1, QColor(160, 180, 230)}});
        ArtDrawEllipse(p, c, 22, 22, ring, QPen(QColor(40, 70, 150), 2.2));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(205, 30, 40));
        ArtDrawCross(p, c, 14, 4, 1.5);
        QPainterPath leaf;
        leaf.moveTo(c + QPointF(5, 5));
        leaf.quadTo(c + QPointF(19, 3), c + QPointF(16, 16));
        leaf.quadTo(c + QPointF(4, 18), c + QPointF(5, 5));
        p.setBrush(QColor(60, 160, 70, 230));
        p.drawPath(leaf);

        p.setPen(QColor(30, 50, 120));
        p.setFont(ArtFont(QStringLiteral("DejaVu Serif"), 14, QFont::Bold));
        p.drawText(QRectF(0, 58, s, 18), Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("Corvale"));
        p.setFont(ArtFont(QStringLiteral("Noto Serif CJK SC"), 11, QFont::Normal));
        p.setPen(QColor(60, 70, 110));
        p.drawText(QRectF(0, 75, s, 14), Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("医学软件"));
        p.setFont(ArtFont(QStringLiteral("DejaVu Sans"), 9, QFont::Normal));
        p.setPen(QColor(170, 20, 30));
        p.drawText(QRectF(0, 88, s, 12), Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("corvale.example"));
    });
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: shell-art OUTPUT-DIRECTORY\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    bool ok = true;
    ok &= ArtSaveImage(DrawBanner(), out.filePath(QStringLiteral("banner.png")));
    ok &= ArtSaveImage(DrawContactCard(), out.filePath(QStringLiteral("contact.png")));
    ok &= ArtSaveImage(DrawIcon(DrawHerb), out.filePath(QStringLiteral("atlas_zy.png")));
    ok &= ArtSaveImage(DrawIcon(DrawAcupuncture), out.filePath(QStringLiteral("atlas_zyzj.png")));
    ok &= ArtSaveImage(DrawIcon(DrawInspection), out.filePath(QStringLiteral("atlas_zywz.png")));
    ok &= ArtSaveImage(DrawIcon(DrawAnatomy), out.filePath(QStringLiteral("atlas_xyjp.png")));
    ok &= ArtSaveImage(DrawIcon(DrawClinical), out.filePath(QStringLiteral("atlas_xylc.png")));
    ok &= ArtSaveImage(DrawIcon(DrawMiscellaneous), out.filePath(QStringLiteral("atlas_zxtp.png")));
    ok &= ArtSaveImage(DrawIcon(DrawDoor), out.filePath(QStringLiteral("quit_door.png")));
    return ok ? 0 : 1;
}
