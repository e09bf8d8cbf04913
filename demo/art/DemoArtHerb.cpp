// Herb illustrations: a pressed whole-plant specimen, the medicinal part, flowers, a leaf, slices
// on a tray, a stained transverse section and the plant in its habitat.
#include "demo/art/DemoArt.h"
#include "demo/art/DemoArtCanvas.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <QtMath>

#include <cmath>

namespace {

const QString kHerbTag = QStringLiteral("中草药图谱");

QColor leafGreen(const TDemoHerb &h)
{
    if (QString::fromUtf8(h.name) == QStringLiteral("紫苏"))
        return QColor(122, 58, 104);
    if (QString::fromUtf8(h.name) == QStringLiteral("艾叶"))
        return QColor(118, 150, 112);
    return h.leaf == TLeafShape::Linear ? QColor(96, 140, 62) : QColor(78, 128, 58);
}

bool isWoody(const TDemoHerb &h)
{
    return h.part == THerbPart::Bark || h.part == THerbPart::Twig;
}

bool bearsFruit(const TDemoHerb &h)
{
    return h.part == THerbPart::Fruit || h.part == THerbPart::Seed;
}

// ---------- leaves ----------

QPainterPath simpleLeafPath(TLeafShape shape, double L)
{
    QPainterPath p;
    p.moveTo(0, 0);
    switch (shape) {
    case TLeafShape::Heart:
        p.cubicTo(-0.18 * L, -0.42 * L, 0.45 * L, -0.5 * L, L, 0);
        p.cubicTo(0.45 * L, 0.5 * L, -0.18 * L, 0.42 * L, 0, 0);
        break;
    case TLeafShape::Lanceolate: {
        const double h = 0.12 * L;
        p.cubicTo(0.2 * L, -h * 1.5, 0.62 * L, -h * 0.9, L, 0);
        p.cubicTo(0.62 * L, h * 0.9, 0.2 * L, h * 1.5, 0, 0);
        break;
    }
    case TLeafShape::Linear: {
        const double h = 0.035 * L;
        p.cubicTo(0.3 * L, -h * 1.3, 0.8 * L, -h, L, 0);
        p.cubicTo(0.8 * L, h, 0.3 * L, h * 1.3, 0, 0);
        break;
    }
    default: {
        const double h = 0.24 * L;
        p.cubicTo(0.08 * L, -h * 1.35, 0.58 * L, -h * 1.15, L, 0);
        p.cubicTo(0.58 * L, h * 1.15, 0.08 * L, h * 1.35, 0, 0);
        break;
    }
    }
    return p;
}

double leafHalfWidth(TLeafShape shape)
{
    switch (shape) {
    case TLeafShape::Heart: return 0.36;
    case TLeafShape::Lanceolate: return 0.11;
    case TLeafShape::Linear: return 0.03;
    default: return 0.26;
    }
}

// A line along the leaf's axis from its base, in the leaf's frame: a midrib, rachis or petiole.
void drawAxis(QPainter &p, const QColor &ink, double width, double length)
{
    p.setPen(QPen(ink, width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(0, 0), QPointF(length, 0));
}

void drawBlade(QPainter &p, QPointF base, double angle, double L, TLeafShape shape, const QColor &green,
               bool veins = true)
{
    const TArtFrame frame(p, base, angle);
    const QPainterPath path = simpleLeafPath(shape, L);
    const QLinearGradient g = ArtLinearGradient(QPointF(0, -L * 0.3), QPointF(0, L * 0.3),
                                                {{0, green.lighter(135)}, {0.5, green}, {1, green.darker(125)}});
    ArtDrawShape(p, path, g, QPen(green.darker(160), std::max(0.6, L * 0.012)));
    drawAxis(p, green.lighter(165), std::max(0.5, L * 0.012), L * 0.94);
    if (veins && shape != TLeafShape::Linear) {
        p.setPen(QPen(green.lighter(145), std::max(0.4, L * 0.006), Qt::SolidLine, Qt::RoundCap));
        const double hw = leafHalfWidth(shape);
        for (double t = 0.12; t < 0.86; t += 0.12) {
            const double reach = hw * L * std::sin(M_PI * std::min(1.0, t + 0.15)) * 0.85;
            p.drawLine(QPointF(t * L, 0), QPointF((t + 0.13) * L, -reach));
            p.drawLine(QPointF(t * L, 0), QPointF((t + 0.13) * L, reach));
        }
    }
}

void drawLeaf(QPainter &p, QPointF base, double angle, double L, TLeafShape shape, const QColor &green,
              bool veins = true)
{
    switch (shape) {
    case TLeafShape::Pinnate: {
        const TArtFrame frame(p, base, angle);
        drawAxis(p, green.darker(150), std::max(0.8, L * 0.018), L * 0.82);
        for (int i = 0; i < 4; ++i) {
            const double t = 0.22 + i * 0.17;
            const double l = L * (0.3 - i * 0.025);
            drawBlade(p, QPointF(t * L, 0), -58, l, TLeafShape::Ovate, green, veins);
            drawBlade(p, QPointF(t * L, 0), 58, l, TLeafShape::Ovate, green, veins);
        }
        drawBlade(p, QPointF(L * 0.8, 0), 0, L * 0.26, TLeafShape::Ovate, green, veins);
        break;
    }
    case TLeafShape::Palmate: {
        const TArtFrame frame(p, base, angle);
        drawAxis(p, green.darker(150), std::max(0.8, L * 0.02), L * 0.3);
        for (int i = -2; i <= 2; ++i)
            drawBlade(p, QPointF(L * 0.3, 0), i * 32.0, L * (0.7 - std::abs(i) * 0.09), TLeafShape::Lanceolate,
                      green, veins);
        break;
    }
    case TLeafShape::Heart: {
        // A long petiole carries the blade.
        const TArtFrame frame(p, base, angle);
        drawAxis(p, green.darker(140), std::max(0.8, L * 0.02), L * 0.3);
        drawBlade(p, QPointF(L * 0.3, 0), 0, L * 0.7, shape, green, veins);
        break;
    }
    default:
        drawBlade(p, base, angle, L, shape, green, veins);
    }
}

// ---------- flowers and fruits ----------

void drawFlower(QPainter &p, QPointF c, double r, const TDemoHerb &h, double angle, double fade = 0)
{
    QColor col = DemoMix(QColor(h.flowerColour), QColor(180, 150, 110), fade);
    const QColor edge = col.darker(135);
    const TArtFrame frame(p, c, angle);
    p.setPen(QPen(edge, std::max(0.5, r * 0.03)));
    switch (h.flower) {
    case TFlowerForm::Daisy: {
        const int n = 16;
        for (int i = 0; i < n; ++i) {
            p.save();
            p.rotate(i * 360.0 / n);
            const QLinearGradient g = ArtLinearGradient(QPointF(0, 0), QPointF(r, 0),
                                                        {{0, col.darker(115)}, {1, col.lighter(112)}});
            p.setBrush(g);
            p.drawEllipse(QRectF(r * 0.18, -r * 0.13, r * 0.84, r * 0.26));
            p.restore();
        }
        const bool yellowish = col.hue() > 35 && col.hue() < 65 && col.saturation() > 120;
        const QColor disc = yellowish ? QColor(150, 92, 30) : QColor(240, 180, 40);
        p.setBrush(ArtRadialGradient(QPointF(-r * 0.08, -r * 0.08), r * 0.34,
                                     {{0, disc.lighter(130)}, {1, disc.darker(120)}}));
        p.setPen(QPen(disc.darker(150), r * 0.02));
        p.drawEllipse(QPointF(0, 0), r * 0.3, r * 0.3);
        break;
    }
    case TFlowerForm::Bell: {
        QPainterPath bell;
        bell.moveTo(-r * 0.2, -r * 0.55);
        bell.cubicTo(-r * 0.5, -r * 0.3, -r * 0.45, r * 0.3, -r * 0.7, r * 0.55);
        for (int i = 0; i < 5; ++i) {
            const double x0 = -r * 0.7 + i * r * 0.28;
            bell.quadTo(x0 + r * 0.14, r * 0.75, x0 + r * 0.28, r * 0.55);
        }
        bell.cubicTo(r * 0.45, r * 0.3, r * 0.5, -r * 0.3, r * 0.2, -r * 0.55);
        bell.closeSubpath();
        const QLinearGradient g = ArtLinearGradient(QPointF(-r * 0.6, 0), QPointF(r * 0.6, 0),
                {{0, col.darker(125)}, {0.45, col.lighter(118)}, {1, col.darker(115)}});
        p.setBrush(g);
        p.drawPath(bell);
        p.setBrush(QColor(90, 120, 60));
        p.drawEllipse(QPointF(0, -r * 0.58), r * 0.22, r * 0.1);
        break;
    }
    case TFlowerForm::Umbel: {
        p.setPen(QPen(QColor(96, 130, 70), std::max(0.5, r * 0.035), Qt::SolidLine, Qt::RoundCap));
        const int rays = 9;
        for (int i = 0; i < rays; ++i) {
            const double a = qDegreesToRadians(-160.0 + i * 140.0 / (rays - 1));
            const QPointF tip(std::cos(a) * r, std::sin(a) * r * 0.75);
            p.drawLine(QPointF(0, 0), tip);
            p.save();
            p.setPen(QPen(edge, std::max(0.3, r * 0.012)));
            p.setBrush(col);
            for (int k = 0; k < 6; ++k) {
                const double b = k * M_PI / 3;
                p.drawEllipse(tip + QPointF(std::cos(b), std::sin(b)) * r * 0.11, r * 0.075, r * 0.075);
            }
            p.restore();
        }
        break;
    }
    case TFlowerForm::Spike: {
        p.setPen(QPen(QColor(96, 130, 70), std::max(0.6, r * 0.04), Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(0, r * 0.4), QPointF(0, -r * 1.6));
        p.setPen(QPen(edge, std::max(0.3, r * 0.015)));
        for (int i = 0; i < 14; ++i) {
            const double y = r * 0.3 - i * r * 0.13;
            const double s = r * (0.3 - i * 0.013);
            const double side = (i % 2) ? 1 : -1;
            const QRadialGradient g = ArtRadialGradient(QPointF(side * s * 0.5, y), s,
                                                        {{0, col.lighter(120)}, {1, col.darker(110)}});
            p.setBrush(g);
            p.drawEllipse(QPointF(side * s * 0.55, y), s * 0.75, s * 0.5);
        }
        break;
    }
    case TFlowerForm::Tubular: {
        for (int k = -1; k <= 1; k += 2) {
            p.save();
            p.rotate(k * 22);
            QPainterPath t;
            t.moveTo(-r * 0.06, 0);
            t.lineTo(-r * 0.1, -r * 0.8);
            t.cubicTo(-r * 0.45, -r * 0.95, -r * 0.4, -r * 1.25, -r * 0.05, -r * 1.1);
            t.cubicTo(0, -r * 1.3, r * 0.1, -r * 1.3, r * 0.12, -r * 1.1);
            t.cubicTo(r * 0.45, -r * 1.2, r * 0.45, -r * 0.9, r * 0.1, -r * 0.8);
            t.lineTo(r * 0.06, 0);
            t.closeSubpath();
            const QLinearGradient g = ArtLinearGradient(QPointF(-r * 0.3, 0), QPointF(r * 0.3, 0),
                    {{0, col.darker(115)}, {0.5, col.lighter(115)}, {1, col.darker(110)}});
            p.setBrush(g);
            p.drawPath(t);
            p.setPen(QPen(QColor(220, 170, 40), std::max(0.4, r * 0.02)));
            for (int s = -1; s <= 1; ++s)
                p.drawLine(QPointF(s * r * 0.03, -r * 1.05), QPointF(s * r * 0.12, -r * 1.45));
            p.restore();
        }
        break;
    }
    case TFlowerForm::Cup: {
        for (int ring = 0; ring < 3; ++ring) {
            const int n = 6 + ring;
            const double rr = r * (1.0 - ring * 0.22);
            const QColor rc = ring == 0 ? col : (ring == 1 ? col.darker(108) : col.darker(118));
            for (int i = 0; i < n; ++i) {
                p.save();
                p.rotate(i * 360.0 / n + ring * 17);
                const QRadialGradient g = ArtRadialGradient(QPointF(rr * 0.5, 0), rr * 0.6,
                                                            {{0, rc.lighter(112)}, {1, rc.darker(112)}});
                p.setBrush(g);
                p.drawEllipse(QRectF(rr * 0.05, -rr * 0.3, rr * 0.95, rr * 0.6));
                p.restore();
            }
        }
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(236, 196, 60));
        for (int i = 0; i < 18; ++i) {
            const double a = i * 2.4;
            const double d = r * 0.2 * std::sqrt((i + 1) / 18.0);
            p.drawEllipse(QPointF(std::cos(a) * d, std::sin(a) * d), r * 0.045, r * 0.045);
        }
        break;
    }
    }
}

void drawBerry(QPainter &p, QPointF c, double r, const QColor &col, bool seed)
{
    p.save();
    if (seed) {
        p.translate(c);
        p.rotate(30);
        const QRadialGradient g = ArtRadialGradient(QPointF(-r * 0.3, -r * 0.2), r * 1.3,
                                                    {{0, col.lighter(135)}, {1, col.darker(130)}});
        ArtDrawEllipse(p, QPointF(0, 0), r, r * 0.62, g, QPen(col.darker(170), r * 0.06));
        p.setPen(QPen(col.darker(150), r * 0.05));
        p.drawLine(QPointF(-r * 0.8, 0), QPointF(r * 0.8, 0));
    } else {
        const QRadialGradient g = ArtRadialGradient(c + QPointF(-r * 0.35, -r * 0.35), r * 1.2,
                                                    {{0, col.lighter(165)}, {0.35, col}, {1, col.darker(150)}});
        ArtDrawEllipse(p, c, r, r, g, QPen(col.darker(170), r * 0.05));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 150));
        p.drawEllipse(c + QPointF(-r * 0.38, -r * 0.38), r * 0.18, r * 0.12);
    }
    p.restore();
}

void drawFruitCluster(QPainter &p, QPointF c, double r, const TDemoHerb &h, TDemoRandom &rng)
{
    const bool seed = h.part == THerbPart::Seed;
    p.setPen(QPen(QColor(100, 120, 60), r * 0.12, Qt::SolidLine, Qt::RoundCap));
    QVector<QPointF> at;
    for (int i = 0; i < 5; ++i)
        at << c + QPointF(rng.Range(-1.6, 1.6) * r, rng.Range(0.2, 2.2) * r);
    for (const QPointF &a : at)
        p.drawLine(c, a);
    for (const QPointF &a : at)
        drawBerry(p, a, r * (seed ? 0.55 : 0.62), QColor(h.partColour), seed);
}

// ---------- underground parts ----------

// A tapering root from top, going along dir (unit), with side roots.
void drawTaproot(QPainter &p, QPointF top, QPointF dir, double length, double width, const QColor &col,
                 TDemoRandom &rng)
{
    const QPointF n(-dir.y(), dir.x());
    QVector<QPointF> spine;
    for (int i = 0; i <= 6; ++i) {
        const double t = i / 6.0;
        spine << top + dir * (length * t) + n * (std::sin(t * 5.0 + rng.Range(0, 1)) * width * 0.25);
    }
    QVector<QPointF> left, right;
    for (int i = 0; i < spine.size(); ++i) {
        const double t = i / 6.0;
        const double w = width * (1.0 - t) * (1.0 - 0.25 * t) / 2 + width * 0.02;
        left << spine[i] + n * w;
        right << spine[i] - n * w;
    }
    QVector<QPointF> outline = left;
    for (int i = right.size() - 1; i >= 0; --i)
        outline << right[i];
    // side roots first, under the main root
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 6; ++i) {
        const double t = 0.2 + i * 0.12;
        const QPointF from = top + dir * (length * t);
        const double side = (i % 2) ? 1 : -1;
        const double len = length * rng.Range(0.16, 0.26) * (1.0 - t * 0.5);
        const QPointF out = n * side * 0.55 + dir * 0.85;
        QVector<QPointF> pts;
        for (int k = 0; k <= 3; ++k)
            pts << from + out * (len * k / 3.0) + n * side * std::sin(k * 1.3) * len * 0.08;
        // thinner towards the tip
        for (int k = 0; k < 3; ++k) {
            p.setPen(QPen(col.darker(118), width * 0.09 * (1.0 - t * 0.5) * (1.0 - k * 0.3), Qt::SolidLine,
                          Qt::RoundCap));
            p.drawLine(pts[k], pts[k + 1]);
        }
    }
    const QLinearGradient g = ArtLinearGradient(top - n * width / 2, top + n * width / 2,
                                                {{0, col.darker(130)}, {0.45, col.lighter(118)}, {1, col.darker(120)}});
    ArtDrawShape(p, DemoSmoothPath(outline, true), g, QPen(col.darker(165), width * 0.03));
    // transverse wrinkles
    p.setPen(QPen(col.darker(150), width * 0.025, Qt::SolidLine, Qt::RoundCap));
    for (int i = 1; i < 9; ++i) {
        const double t = i / 10.0;
        const QPointF c = top + dir * (length * t);
        const double w = width * (1.0 - t) * 0.35;
        p.drawLine(c - n * w, c + n * w * 0.6 + dir * w * 0.15);
    }
}

void drawRhizome(QPainter &p, QPointF left, double length, double height, const QColor &col, TDemoRandom &rng)
{
    // fibrous roots hang below
    p.setPen(QPen(col.darker(120), height * 0.035, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 14; ++i) {
        const QPointF a = left + QPointF(length * (0.05 + i * 0.065), height * 0.3);
        QPainterPath f;
        f.moveTo(a);
        f.cubicTo(a + QPointF(rng.Range(-0.3, 0.3) * height, height * 0.5),
                  a + QPointF(rng.Range(-0.5, 0.5) * height, height * 0.9),
                  a + QPointF(rng.Range(-0.6, 0.6) * height, height * rng.Range(1.1, 1.6)));
        p.drawPath(f);
    }
    const int knots = 5;
    {
        const QPainterPath body = [&] {
            QPainterPathStroker stroker;
            stroker.setWidth(height * 0.62);
            stroker.setCapStyle(Qt::RoundCap);
            QPainterPath spine;
            spine.moveTo(left + QPointF(length * 0.06, 0));
            spine.cubicTo(left + QPointF(length * 0.35, -height * 0.12), left + QPointF(length * 0.65, height * 0.1),
                          left + QPointF(length * 0.94, 0));
            return stroker.createStroke(spine);
        }();
        const QLinearGradient bg = ArtLinearGradient(left - QPointF(0, height * 0.4), left + QPointF(0, height * 0.4),
                                                     {{0, col.lighter(120)}, {1, col.darker(135)}});
        ArtDrawShape(p, body, bg, QPen(col.darker(170), height * 0.02));
    }
    for (int i = 0; i < knots; ++i) {
        const double cx = left.x() + length * (0.1 + i * 0.2);
        const double rh = height * (0.4 - std::abs(i - 1.5) * 0.04) * rng.Range(0.8, 1.05);
        const QRectF r(cx - length * 0.085, left.y() - rh, length * 0.17, rh * 2);
        const QRadialGradient g = ArtRadialGradient(r.center() - QPointF(0, rh * 0.4), rh * 1.6,
                                                    {{0, col.lighter(130)}, {1, col.darker(130)}});
        p.setBrush(g);
        p.setPen(QPen(col.darker(170), height * 0.02));
        p.drawEllipse(r);
        p.setPen(QPen(col.darker(155), height * 0.03));
        p.drawArc(r.adjusted(r.width() * 0.35, 0, -r.width() * 0.35, 0), 90 * 16, 180 * 16);
        // bud scar on top
        ArtDrawEllipse(p, QPointF(cx + length * 0.03, left.y() - rh * 0.8), height * 0.07, height * 0.045,
                       col.darker(140), Qt::NoPen);
    }
}

// A knobbly tuber: an uneven outline, rootlet scars, ring wrinkles and a bud at the top; cut open
// it shows its inside instead.
void drawTuber(QPainter &p, QPointF c, double rx, double ry, const QColor &col, double angle, bool cut = false)
{
    TDemoRandom rng(static_cast<std::uint64_t>(rx * 1000 + ry));
    const TArtFrame frame(p, c, angle);
    p.setPen(QPen(col.darker(130), ry * 0.045, Qt::SolidLine, Qt::RoundCap));
    for (int i = -2; i <= 2; ++i)
        p.drawLine(QPointF(rx * 0.9, i * ry * 0.15), QPointF(rx * 1.45, i * ry * 0.35 + rng.Range(-0.1, 0.1) * ry));
    QVector<QPointF> pts;
    for (int i = 0; i < 12; ++i) {
        const double a = i * 2 * M_PI / 12;
        const double k = rng.Range(0.9, 1.06);
        pts << QPointF(std::cos(a) * rx * k, std::sin(a) * ry * k);
    }
    const QPainterPath outline = DemoSmoothPath(pts, true);
    const QRadialGradient g = ArtRadialGradient(QPointF(-rx * 0.3, -ry * 0.35), rx * 1.3,
                                                {{0, col.lighter(135)}, {0.6, col}, {1, col.darker(145)}});
    ArtDrawShape(p, outline, g, QPen(col.darker(170), ry * 0.04));
    if (cut) {
        ArtDrawEllipse(p, QPointF(rx * 0.08, 0), rx * 0.72, ry * 0.7,
                       DemoMix(col, QColor(252, 246, 230), 0.6), QPen(col.darker(120), ry * 0.03));
        p.setPen(QPen(col.darker(110), ry * 0.02));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(rx * 0.08, 0), rx * 0.45, ry * 0.44);
        return;
    }
    p.setPen(QPen(col.darker(130), ry * 0.03, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    for (int i = -2; i <= 2; ++i)
        p.drawArc(QRectF(i * rx * 0.3 - rx * 0.12, -ry * 0.9, rx * 0.24, ry * 1.8), 60 * 16, 60 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(col.darker(150));
    for (int i = 0; i < 14; ++i) // rootlet scars
        p.drawEllipse(QPointF(rng.Range(-0.7, 0.7) * rx, rng.Range(-0.6, 0.6) * ry), ry * 0.035, ry * 0.035);
    // the bud
    ArtDrawEllipse(p, QPointF(-rx * 0.95, -ry * 0.1), rx * 0.12, ry * 0.1,
                   QColor(150, 170, 90), QPen(QColor(100, 120, 60), ry * 0.02));
}

void drawFibrousRoots(QPainter &p, QPointF base, double size, const QColor &col, TDemoRandom &rng)
{
    p.setPen(QPen(col.darker(110), size * 0.012, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 16; ++i) {
        QPainterPath f;
        f.moveTo(base);
        const double a = qDegreesToRadians(40.0 + i * 6.5 + rng.Range(-4, 4));
        const double len = size * rng.Range(0.55, 1.0);
        f.cubicTo(base + QPointF(std::cos(a) * len * 0.3, len * 0.3), base + QPointF(std::cos(a) * len * 0.7, len * 0.6),
                  base + QPointF(std::cos(a) * len, std::sin(a) * len));
        p.drawPath(f);
    }
}

void drawUnderground(QPainter &p, const TDemoHerb &h, QPointF base, double scale, TDemoRandom &rng)
{
    const QColor col(h.partColour);
    switch (h.part) {
    case THerbPart::Root:
        drawTaproot(p, base, QPointF(0.08, 1), 260 * scale, 46 * scale, col, rng);
        break;
    case THerbPart::Rhizome:
        drawRhizome(p, base + QPointF(-150 * scale, 40 * scale), 300 * scale, 80 * scale, col, rng);
        break;
    case THerbPart::Tuber:
        drawFibrousRoots(p, base, 120 * scale, QColor(170, 140, 100), rng);
        drawTuber(p, base + QPointF(-55 * scale, 80 * scale), 60 * scale, 42 * scale, col, -20);
        drawTuber(p, base + QPointF(60 * scale, 95 * scale), 52 * scale, 36 * scale, col, 25);
        drawTuber(p, base + QPointF(0, 150 * scale), 44 * scale, 30 * scale, col, 5);
        break;
    default:
        drawFibrousRoots(p, base, 170 * scale, QColor(170, 140, 100), rng);
    }
}

// ---------- fungi ----------

void drawLingzhi(QPainter &p, QPointF base, double s, const QColor &col, double angle)
{
    const TArtFrame frame(p, base, angle);
    QPainterPath stalk;
    stalk.moveTo(-12 * s, 0);
    stalk.cubicTo(-16 * s, -60 * s, 10 * s, -120 * s, -4 * s, -170 * s);
    stalk.lineTo(18 * s, -170 * s);
    stalk.cubicTo(30 * s, -120 * s, 8 * s, -60 * s, 12 * s, 0);
    stalk.closeSubpath();
    const QLinearGradient sg = ArtLinearGradient(QPointF(-15 * s, 0), QPointF(20 * s, 0),
                                                 {{0, col.darker(160)}, {0.5, col.lighter(110)}, {1, col.darker(170)}});
    ArtDrawShape(p, stalk, sg, QPen(col.darker(200), 1.5 * s));
    const QRectF cap(-150 * s, -250 * s, 300 * s, 150 * s);
    for (int i = 0; i < 6; ++i) {
        const double k = 1.0 - i * 0.14;
        const QRectF r(cap.center().x() - cap.width() * k / 2, cap.center().y() - cap.height() * k / 2 - i * 3 * s,
                       cap.width() * k, cap.height() * k);
        const QColor band = i == 0 ? QColor(236, 200, 120) : DemoMix(col, QColor(60, 20, 10), (i % 2) * 0.35);
        p.setBrush(ArtRadialGradient(r.center() - QPointF(0, r.height() * 0.3), r.width() * 0.6,
                                     {{0, band.lighter(135)}, {1, band}}));
        p.setPen(QPen(band.darker(150), 1.2 * s));
        p.drawEllipse(r);
    }
}

void drawPoria(QPainter &p, QPointF c, double r, const QColor &col, bool cut, TDemoRandom &rng)
{
    QVector<QPointF> pts;
    for (int i = 0; i < 14; ++i) {
        const double a = i * 2 * M_PI / 14;
        const double k = rng.Range(0.86, 1.08);
        pts << c + QPointF(std::cos(a) * r * k, std::sin(a) * r * 0.82 * k);
    }
    const QPainterPath outline = DemoSmoothPath(pts, true);
    const QRadialGradient g = ArtRadialGradient(c - QPointF(r * 0.3, r * 0.3), r * 1.3,
                                                {{0, col.lighter(150)}, {1, col.darker(150)}});
    ArtDrawShape(p, outline, g, QPen(col.darker(180), r * 0.02));
    p.setPen(QPen(col.darker(170), r * 0.015));
    for (int i = 0; i < 10; ++i) {
        const QPointF a = c + QPointF(rng.Range(-0.7, 0.7) * r, rng.Range(-0.6, 0.6) * r);
        p.drawArc(QRectF(a.x(), a.y(), r * 0.3, r * 0.15), 20 * 16, 140 * 16);
    }
    if (cut) {
        ArtDrawEllipse(p, c + QPointF(r * 0.15, r * 0.05), r * 0.55, r * 0.4,
                       QColor(246, 242, 230), QPen(QColor(200, 190, 170), r * 0.015));
    }
}

// ---------- whole plant ----------

void drawPlant(QPainter &p, const TDemoHerb &h, QPointF base, double height, TDemoRandom &rng, bool withRoots)
{
    const QColor green = leafGreen(h);
    const double s = height / 560.0;
    if (h.part == THerbPart::Fungus) {
        drawLingzhi(p, base + QPointF(-40 * s, 0), s * 1.15, QColor(h.partColour), -8);
        drawLingzhi(p, base + QPointF(70 * s, 10 * s), s * 0.75, QColor(h.partColour), 14);
        return;
    }
    if (h.part == THerbPart::Sclerotium) {
        drawPoria(p, base + QPointF(0, -90 * s), 150 * s, QColor(h.partColour), false, rng);
        return;
    }
    if (withRoots)
        drawUnderground(p, h, base, s, rng);

    if (h.leaf == TLeafShape::Linear && !isWoody(h)) {
        // grass-like: a basal tuft of blades and a flowering scape
        for (int i = 0; i < 11; ++i) {
            const double a = -150 + i * 12 + rng.Range(-3, 3);
            drawBlade(p, base, a, height * rng.Range(0.55, 0.8), TLeafShape::Linear, green, false);
        }
        p.setPen(QPen(green.darker(120), 5 * s, Qt::SolidLine, Qt::RoundCap));
        const QPointF top = base + QPointF(20 * s, -height);
        p.drawLine(base, top);
        drawFlower(p, top, 48 * s, h, 0);
        return;
    }

    const QColor stemColour = isWoody(h) ? QColor(h.partColour) : green.darker(115);
    const double sway = rng.Range(-40, 40) * s;
    QVector<QPointF> stemPts{base, base + QPointF(sway * 0.3, -height * 0.33), base + QPointF(-sway * 0.4, -height * 0.66),
                             base + QPointF(sway, -height)};
    const QPainterPath stem = DemoSmoothPath(stemPts, false);
    ArtDrawShape(p, stem, Qt::NoBrush, QPen(stemColour, (isWoody(h) ? 14 : 7) * s, Qt::SolidLine, Qt::RoundCap));

    // side branch
    const QPointF branchFrom = stem.pointAtPercent(0.5);
    const QPointF branchTo = branchFrom + QPointF(140 * s, -170 * s);
    p.setPen(QPen(stemColour, (isWoody(h) ? 9 : 5) * s, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(branchFrom, branchTo);

    const int leaves = 9;
    for (int i = 0; i < leaves; ++i) {
        const double t = 0.1 + i * 0.085;
        const QPointF at = stem.pointAtPercent(t);
        const bool right = i % 2;
        const double len = (h.leaf == TLeafShape::Pinnate || h.leaf == TLeafShape::Palmate ? 170 : 150) * s *
                           (1.0 - t * 0.55);
        const double angle = right ? -35 - rng.Range(0, 20) : -145 + rng.Range(0, 20);
        drawLeaf(p, at, angle, len, h.leaf, green);
    }
    drawLeaf(p, stem.pointAtPercent(0.5) + QPointF(70 * s, -85 * s), -20, 90 * s, h.leaf, green);

    const QPointF top = stem.pointAtPercent(1.0);
    if (bearsFruit(h)) {
        drawFlower(p, top, 40 * s, h, 0);
        drawFruitCluster(p, branchTo, 22 * s, h, rng);
        drawFruitCluster(p, stem.pointAtPercent(0.82) + QPointF(-10 * s, 0), 20 * s, h, rng);
    } else {
        const double fr = (h.flower == TFlowerForm::Umbel ? 62 : 48) * s;
        drawFlower(p, top, fr, h, 0);
        drawFlower(p, branchTo, fr * 0.8, h, 18);
        drawFlower(p, stem.pointAtPercent(0.85) + QPointF(-30 * s, -10 * s), fr * 0.7, h, -24);
    }
}

// ---------- the seven views ----------

void viewSpecimen(TDemoPage &page, const TDemoHerb &h, TDemoRandom &rng)
{
    QPainter &p = page.Painter();
    page.FitDesign(QSizeF(640, 1000));
    // mounting sheet
    p.setPen(QPen(QColor(200, 190, 170), 2));
    p.setBrush(QColor(253, 251, 246));
    p.drawRect(QRectF(10, 10, 620, 980));
    drawPlant(p, h, QPointF(300, 690), 560, rng, true);
    // tape strips holding the specimen
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(236, 226, 200, 200));
    p.save();
    p.translate(300, 520);
    p.rotate(-8);
    p.drawRect(QRectF(-40, -9, 80, 18));
    p.restore();
    // herbarium label
    const QRectF label(400, 850, 215, 125);
    p.setBrush(QColor(255, 255, 252));
    p.setPen(QPen(QColor(120, 100, 80), 1.5));
    p.drawRect(label);
    p.setPen(QColor(60, 50, 40));
    p.setFont(DemoSans(15));
    p.drawText(label.adjusted(10, 6, -10, 0), Qt::AlignTop | Qt::AlignLeft, QStringLiteral("药用植物标本"));
    p.setFont(DemoSerif(34, true));
    p.drawText(label.adjusted(10, 26, -10, 0), Qt::AlignTop | Qt::AlignLeft, QString::fromUtf8(h.name));
    p.setFont(DemoSans(14));
    p.drawText(label.adjusted(10, 76, -10, 0), Qt::AlignTop | Qt::AlignLeft,
               QStringLiteral("%1    No. %2")
                   .arg(QString::fromUtf8(h.pinyin))
                   .arg(100 + static_cast<int>(DemoStableHash(QString::fromUtf8(h.name)) % 900)));
    p.setPen(QPen(QColor(160, 140, 120), 1));
    p.drawLine(QPointF(label.left() + 10, label.top() + 100), QPointF(label.right() - 10, label.top() + 100));
}

// The two features a view of the medicinal part points out: one labelled above it, one below.
struct TPartLabels {
    QString upper;
    QPointF upperAt;
    QString lower;
    QPointF lowerAt;
};

void viewMedicinalPart(TDemoPage &page, const TDemoHerb &h, TDemoRandom &rng)
{
    QPainter &p = page.Painter();
    page.FitDesign(QSizeF(1000, 720));
    const QColor col(h.partColour);
    TPartLabels labels;
    switch (h.part) {
    case THerbPart::Root:
        drawTaproot(p, QPointF(170, 330), QPointF(1, 0.12), 720, 120, col, rng);
        drawTaproot(p, QPointF(220, 520), QPointF(1, -0.05), 520, 70, col.darker(108), rng);
        labels = {QStringLiteral("根头"), {190, 330}, QStringLiteral("支根"), {560, 400}};
        break;
    case THerbPart::Rhizome:
        drawRhizome(p, QPointF(130, 330), 740, 190, col, rng);
        labels = {QStringLiteral("结节"), {280, 270}, QStringLiteral("须根"), {600, 560}};
        break;
    case THerbPart::Tuber:
        drawTuber(p, QPointF(300, 300), 190, 130, col, -15);
        drawTuber(p, QPointF(700, 250), 130, 90, col.darker(106), 20);
        drawTuber(p, QPointF(640, 520), 150, 100, col, -5, true);
        labels = {QStringLiteral("块茎"), {330, 300}, QStringLiteral("断面"), {650, 520}};
        break;
    case THerbPart::Fruit:
    case THerbPart::Seed:
        for (int i = 0; i < 9; ++i)
            drawBerry(p, QPointF(230 + (i % 3) * 260 + rng.Range(-30, 30), 180 + (i / 3) * 190 + rng.Range(-20, 20)),
                      h.part == THerbPart::Seed ? 70 : 78, col, h.part == THerbPart::Seed);
        labels = {h.part == THerbPart::Seed ? QStringLiteral("种脐") : QStringLiteral("果皮"), {230, 180},
                  h.part == THerbPart::Seed ? QStringLiteral("种皮") : QStringLiteral("果柄痕"), {750, 560}};
        break;
    case THerbPart::Flower:
        for (int i = 0; i < 7; ++i)
            drawFlower(p, QPointF(200 + (i % 4) * 200 + (i / 4) * 100, 250 + (i / 4) * 230), 95, h, i * 40.0, 0.15);
        labels = {QStringLiteral("花冠"), {200, 250}, QStringLiteral("花托"), {700, 480}};
        break;
    case THerbPart::Bark:
    case THerbPart::Twig:
        for (int i = 0; i < 3; ++i) {
            const QRectF r(120 + i * 40, 140 + i * 180, 720, 110);
            const QLinearGradient g = ArtLinearGradient(r.topLeft(), r.bottomLeft(),
                    {{0, col.darker(140)}, {0.5, col.lighter(125)}, {1, col.darker(150)}});
            p.setBrush(g);
            p.setPen(QPen(col.darker(190), 2));
            p.drawRoundedRect(r, 50, 50);
            p.setPen(QPen(col.darker(170), 1.6));
            for (int k = 0; k < 22; ++k) {
                const double x = r.left() + 40 + k * 30 + rng.Range(-8, 8);
                p.drawLine(QPointF(x, r.top() + 18), QPointF(x + rng.Range(-12, 12), r.bottom() - 18));
            }
        }
        labels = {QStringLiteral("外表面"), {300, 190}, QStringLiteral("断面"), {860, 600}};
        break;
    case THerbPart::Fungus:
        drawLingzhi(p, QPointF(330, 650), 1.9, col, -10);
        drawLingzhi(p, QPointF(720, 640), 1.3, col, 12);
        labels = {QStringLiteral("菌盖"), {330, 230}, QStringLiteral("菌柄"), {720, 560}};
        break;
    case THerbPart::Sclerotium:
        drawPoria(p, QPointF(360, 360), 260, col, true, rng);
        drawPoria(p, QPointF(780, 470), 130, col, false, rng);
        labels = {QStringLiteral("切面"), {400, 370}, QStringLiteral("外皮"), {780, 400}};
        break;
    default: // leaves and whole herbs: a bundle of dried stems with leaves
        for (int i = 0; i < 4; ++i)
            drawLeaf(p, QPointF(120, 360), -25 + i * 15, 760 - i * 60, h.leaf == TLeafShape::Linear ? TLeafShape::Lanceolate : h.leaf,
                     DemoMix(leafGreen(h), QColor(140, 130, 90), 0.2));
        labels = {QStringLiteral("叶片"), {600, 250}, QStringLiteral("叶柄"), {170, 360}};
        break;
    }
    const QColor ink(70, 55, 40);
    DemoDrawLabel(p, labels.upperAt, QPointF(labels.upperAt.x() + 60, 60), labels.upper, ink, 26);
    DemoDrawLabel(p, labels.lowerAt, QPointF(labels.lowerAt.x() - 60, 690), labels.lower, ink, 26);
    DemoDrawScaleBar(p, QPointF(780, 650), 180, QStringLiteral("0        2 cm"), ink);
}

void viewFlowers(TDemoPage &page, const TDemoHerb &h, TDemoRandom &rng)
{
    QPainter &p = page.Painter();
    page.FillArtRadial({{0, QColor(246, 249, 238)}, {1, QColor(206, 222, 196)}});
    page.FitDesign(QSizeF(800, 800));
    const QColor green = leafGreen(h);
    if (h.part == THerbPart::Fungus) {
        drawLingzhi(p, QPointF(420, 760), 2.4, QColor(h.partColour), 0);
        return;
    }
    if (h.part == THerbPart::Sclerotium) {
        // on a pine root, as it is dug
        p.setPen(QPen(QColor(110, 76, 50), 40, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(40, 640), QPointF(780, 520));
        drawPoria(p, QPointF(420, 470), 250, QColor(h.partColour), true, rng);
        return;
    }
    p.setPen(QPen(isWoody(h) ? QColor(h.partColour) : green.darker(115), 12, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    const QPainterPath branch = DemoSmoothPath({QPointF(70, 770), QPointF(290, 560), QPointF(450, 440), QPointF(620, 300)}, false);
    p.drawPath(branch);
    for (int i = 0; i < 4; ++i) {
        const QPointF at = branch.pointAtPercent(0.15 + i * 0.2);
        drawLeaf(p, at, (i % 2) ? 10 : -130, 250, h.leaf == TLeafShape::Linear ? TLeafShape::Lanceolate : h.leaf, green);
    }
    if (bearsFruit(h)) {
        drawFruitCluster(p, branch.pointAtPercent(0.55), 42, h, rng);
        drawFruitCluster(p, branch.pointAtPercent(0.85), 38, h, rng);
        drawFlower(p, branch.pointAtPercent(1.0), 90, h, 15);
    } else {
        drawFlower(p, branch.pointAtPercent(1.0), 150, h, 15);
        drawFlower(p, branch.pointAtPercent(0.6) + QPointF(60, -30), 120, h, -20);
        drawFlower(p, branch.pointAtPercent(0.3) + QPointF(-20, -70), 90, h, 35);
    }
}

// Fungi have no leaves: their hyphae and spores under the microscope instead.
void viewHyphae(TDemoPage &page, const TDemoHerb &h, TDemoRandom &rng)
{
    QPainter &p = page.Painter();
    p.fillRect(page.ArtRect(), QColor(24, 24, 30));
    page.FitDesign(QSizeF(1000, 760));
    const QPointF c(500, 380);
    const QRadialGradient field = ArtRadialGradient(c, 360,
            {{0, QColor(246, 246, 236)}, {0.85, QColor(228, 230, 214)}, {1, QColor(110, 110, 100)}});
    p.setPen(Qt::NoPen);
    p.setBrush(field);
    p.drawEllipse(c, 360, 360);
    p.save();
    QPainterPath clip;
    clip.addEllipse(c, 350, 350);
    p.setClipPath(clip);
    const QColor hypha = DemoMix(QColor(h.partColour), QColor(120, 110, 150), 0.4);
    for (int i = 0; i < 14; ++i) {
        QPointF at = c + QPointF(rng.Range(-340, 340), rng.Range(-340, 340));
        double a = rng.Range(0, 2 * M_PI);
        QVector<QPointF> pts{at};
        for (int k = 0; k < 9; ++k) {
            a += rng.Range(-0.5, 0.5);
            at += QPointF(std::cos(a), std::sin(a)) * 60;
            pts << at;
        }
        ArtDrawShape(p, DemoSmoothPath(pts, false),
                     Qt::NoBrush, QPen(hypha.darker(130), 11, Qt::SolidLine, Qt::RoundCap));
        p.setPen(QPen(hypha.lighter(150), 6, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(DemoSmoothPath(pts, false));
        p.setPen(QPen(hypha.darker(160), 2));
        for (int k = 2; k < pts.size(); k += 2) // septa
            p.drawLine(pts[k] + QPointF(-5, -5), pts[k] + QPointF(5, 5));
    }
    p.setPen(QPen(QColor(h.partColour).darker(140), 2));
    for (int i = 0; i < 40; ++i) {
        const QPointF s = c + QPointF(rng.Range(-330, 330), rng.Range(-330, 330));
        p.setBrush(QColor(h.partColour).lighter(130));
        p.drawEllipse(s, 9, 6);
    }
    p.restore();
    const QColor ink(236, 234, 226);
    DemoDrawLabel(p, c + QPointF(120, -60), QPointF(900, 160), QStringLiteral("菌丝"), ink, 28);
    DemoDrawLabel(p, c + QPointF(200, 150), QPointF(900, 560), QStringLiteral("孢子"), ink, 28);
}

void viewLeaf(TDemoPage &page, const TDemoHerb &h, TDemoRandom &rng)
{
    if (h.part == THerbPart::Fungus || h.part == THerbPart::Sclerotium) {
        viewHyphae(page, h, rng);
        return;
    }
    QPainter &p = page.Painter();
    const QRectF art = page.ArtRect();
    page.FillArt(QColor(252, 253, 250));
    // faint graph paper
    const double step = page.Unit() / 24.0;
    p.setPen(QPen(QColor(214, 230, 222), std::max(1.0, page.Unit() / 900)));
    for (double x = art.left(); x < art.right(); x += step)
        p.drawLine(QPointF(x, art.top()), QPointF(x, art.bottom()));
    for (double y = art.top(); y < art.bottom(); y += step)
        p.drawLine(QPointF(art.left(), y), QPointF(art.right(), y));
    page.FitDesign(QSizeF(1000, 720));
    const QColor green = leafGreen(h);
    const TLeafShape shape = h.leaf;
    const double big = shape == TLeafShape::Linear ? 900 : (shape == TLeafShape::Heart ? 700 : 640);
    drawLeaf(p, QPointF(90, shape == TLeafShape::Linear ? 300 : 330), -6, big, shape, green);
    const QColor ink(50, 70, 50);
    if (shape != TLeafShape::Pinnate && shape != TLeafShape::Palmate) {
        drawLeaf(p, QPointF(520, 600), -18, big * 0.45, shape, DemoMix(green, QColor(200, 210, 170), 0.45));
        DemoDrawLabel(p, QPointF(640, 570), QPointF(860, 500), QStringLiteral("叶背"), ink, 26);
    } else {
        DemoDrawLabel(p, QPointF(90 + big * 0.22, 330 + big * 0.13), QPointF(330, 640),
                      shape == TLeafShape::Pinnate ? QStringLiteral("小叶") : QStringLiteral("裂片"), ink, 26);
    }
    DemoDrawLabel(p, QPointF(90 + big * 0.5, 330 - big * 0.05), QPointF(90 + big * 0.5 + 60, 70),
                  QStringLiteral("主脉"), ink, 26);
    DemoDrawScaleBar(p, QPointF(780, 650), 180, QStringLiteral("0        5 cm"), ink);
}

void drawSlice(QPainter &p, QPointF c, double r, const TDemoHerb &h, TDemoRandom &rng)
{
    const QColor col(h.partColour);
    switch (h.part) {
    case THerbPart::Root:
    case THerbPart::Rhizome:
    case THerbPart::Tuber:
    case THerbPart::Sclerotium: {
        QVector<QPointF> pts;
        const double squash = rng.Range(0.7, 0.95);
        for (int i = 0; i < 10; ++i) {
            const double a = i * 2 * M_PI / 10;
            pts << c + QPointF(std::cos(a) * r * rng.Range(0.92, 1.05), std::sin(a) * r * squash * rng.Range(0.92, 1.05));
        }
        const QPainterPath outline = DemoSmoothPath(pts, true);
        const QColor inner = h.part == THerbPart::Sclerotium ? QColor(244, 240, 228) : DemoMix(col, QColor(250, 240, 215), 0.5);
        ArtDrawShape(p, outline, col.darker(120), QPen(col.darker(170), r * 0.04));
        p.save();
        p.translate(c);
        p.scale(0.86, 0.86);
        p.translate(-c);
        const QRadialGradient g = ArtRadialGradient(c, r, {{0, inner.lighter(108)}, {1, inner.darker(108)}});
        ArtDrawShape(p, outline, g, Qt::NoPen);
        p.restore();
        if (h.part != THerbPart::Sclerotium) {
            p.setPen(QPen(col.darker(135), r * 0.03));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(c, r * 0.45, r * 0.45 * squash);
            for (int k = 0; k < 14; ++k) {
                const double a = k * 2 * M_PI / 14;
                p.drawLine(c + QPointF(std::cos(a), std::sin(a) * squash) * r * 0.12,
                           c + QPointF(std::cos(a), std::sin(a) * squash) * r * 0.7);
            }
        }
        break;
    }
    case THerbPart::Fruit:
    case THerbPart::Seed:
        drawBerry(p, c, r * 0.6, DemoMix(col, QColor(90, 60, 40), 0.25), h.part == THerbPart::Seed);
        break;
    case THerbPart::Flower:
        drawFlower(p, c, r * 0.9, h, rng.Range(0, 360), 0.3);
        break;
    case THerbPart::Bark:
    case THerbPart::Twig: {
        const TArtFrame frame(p, c, rng.Range(0, 180));
        p.setBrush(col);
        p.setPen(QPen(col.darker(170), r * 0.04));
        p.drawRoundedRect(QRectF(-r, -r * 0.3, 2 * r, r * 0.6), r * 0.25, r * 0.25);
        p.setBrush(DemoMix(col, QColor(230, 190, 150), 0.4));
        p.drawRoundedRect(QRectF(-r * 0.9, -r * 0.12, 1.8 * r, r * 0.24), r * 0.1, r * 0.1);
        break;
    }
    case THerbPart::Fungus: {
        const TArtFrame frame(p, c, rng.Range(0, 180));
        p.setBrush(col);
        p.setPen(QPen(col.darker(170), r * 0.04));
        p.drawRect(QRectF(-r, -r * 0.28, 2 * r, r * 0.56));
        p.setBrush(QColor(230, 200, 150));
        p.drawRect(QRectF(-r, r * 0.08, 2 * r, r * 0.2));
        break;
    }
    default: {
        QVector<QPointF> pts;
        for (int i = 0; i < 7; ++i) {
            const double a = i * 2 * M_PI / 7;
            pts << c + QPointF(std::cos(a), std::sin(a)) * r * rng.Range(0.5, 1.0);
        }
        const QColor dried = DemoMix(leafGreen(h), QColor(150, 140, 90), 0.35);
        p.setBrush(dried);
        p.setPen(QPen(dried.darker(150), r * 0.03));
        p.drawPolygon(QPolygonF(pts));
        p.setPen(QPen(dried.lighter(140), r * 0.025));
        p.drawLine(pts[0], pts[3]);
        break;
    }
    }
}

void viewSlices(TDemoPage &page, const TDemoHerb &h, TDemoRandom &rng)
{
    QPainter &p = page.Painter();
    page.FillArtDiagonal({{0, QColor(150, 104, 66)}, {1, QColor(104, 68, 42)}});
    page.FitDesign(QSizeF(1000, 720));
    // woven bamboo tray
    const QPointF c(500, 360);
    const QRadialGradient tray = ArtRadialGradient(c, 340,
            {{0, QColor(236, 214, 164)}, {0.92, QColor(214, 184, 126)}, {1, QColor(170, 132, 80)}});
    ArtDrawEllipse(p, c, 340, 340, tray, QPen(QColor(120, 86, 46), 5));
    p.setPen(QPen(QColor(196, 164, 110), 2));
    p.setBrush(Qt::NoBrush);
    for (int k = 1; k < 11; ++k)
        p.drawEllipse(c, k * 30.0, k * 30.0);
    for (int i = 0; i < 17; ++i) {
        const double a = rng.Range(0, 2 * M_PI);
        const double d = std::sqrt(rng.Uniform()) * 240;
        drawSlice(p, c + QPointF(std::cos(a) * d, std::sin(a) * d), rng.Range(44, 64), h, rng);
    }
}

void viewSection(TDemoPage &page, const TDemoHerb &h, TDemoRandom &rng)
{
    QPainter &p = page.Painter();
    page.FillArt(QColor(30, 28, 34));
    page.FitDesign(QSizeF(1000, 760));
    const QPointF c(380, 380);
    // microscope field
    const QRadialGradient field = ArtRadialGradient(c, 360,
            {{0, QColor(250, 244, 246)}, {0.85, QColor(236, 222, 230)}, {1, QColor(120, 100, 110)}});
    ArtDrawEllipse(p, c, 360, 360, field, Qt::NoPen);
    const double R = 300;
    const QColor stain = DemoMix(QColor(150, 60, 120), QColor(h.partColour), 0.25);
    // cork, cortex, phloem, cambium, xylem, pith
    p.setBrush(QColor(h.partColour).darker(150));
    p.drawEllipse(c, R, R);
    p.setBrush(DemoMix(QColor(246, 226, 232), stain, 0.15));
    p.drawEllipse(c, R * 0.94, R * 0.94);
    p.setPen(QPen(stain.lighter(130), 1.2));
    for (int i = 0; i < 260; ++i) { // cortex cells
        const double a = rng.Range(0, 2 * M_PI);
        const double d = rng.Range(R * 0.74, R * 0.92);
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(c + QPointF(std::cos(a) * d, std::sin(a) * d), 9, 7);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(DemoMix(QColor(230, 180, 210), stain, 0.3));
    p.drawEllipse(c, R * 0.7, R * 0.7);
    p.setPen(QPen(stain.darker(140), 5));
    p.setBrush(DemoMix(QColor(236, 200, 170), stain, 0.2));
    p.drawEllipse(c, R * 0.52, R * 0.52);
    p.setPen(QPen(stain.darker(110), 3));
    for (int k = 0; k < 24; ++k) { // medullary rays
        const double a = k * 2 * M_PI / 24;
        p.drawLine(c + QPointF(std::cos(a), std::sin(a)) * R * 0.12, c + QPointF(std::cos(a), std::sin(a)) * R * 0.68);
    }
    p.setPen(QPen(QColor(120, 40, 90), 1.5));
    p.setBrush(QColor(250, 240, 246));
    for (int i = 0; i < 60; ++i) { // vessels
        const double a = rng.Range(0, 2 * M_PI);
        const double d = rng.Range(R * 0.16, R * 0.48);
        const double vr = rng.Range(5, 11);
        p.drawEllipse(c + QPointF(std::cos(a) * d, std::sin(a) * d), vr, vr);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(252, 246, 240));
    p.drawEllipse(c, R * 0.12, R * 0.12);

    const QColor ink(236, 230, 236);
    const QStringList names{QStringLiteral("木栓层"), QStringLiteral("皮层"), QStringLiteral("韧皮部"),
                            QStringLiteral("形成层"), QStringLiteral("木质部"), QStringLiteral("髓")};
    const double radii[] = {0.97, 0.84, 0.62, 0.52, 0.35, 0.05};
    for (int i = 0; i < names.size(); ++i) {
        const double a = qDegreesToRadians(-40.0 + i * 16);
        const QPointF anchor = c + QPointF(std::cos(a), std::sin(a)) * R * radii[i];
        DemoDrawLabel(p, anchor, QPointF(800, 120 + i * 100), names[i], ink, 28);
    }
    p.setPen(ink);
    p.setFont(DemoSans(22));
    p.drawText(QRectF(760, 700, 240, 40), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("横切面  ×40"));
}

void viewHabitat(TDemoPage &page, const TDemoHerb &h, TDemoRandom &rng)
{
    QPainter &p = page.Painter();
    const QRectF art = page.ArtRect();
    p.setClipRect(art);
    page.FillArtVertical({{0, QColor(150, 192, 226)}, {0.6, QColor(226, 236, 240)}, {1, QColor(230, 236, 220)}});
    page.FitDesign(QSizeF(1200, 800), 0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 252, 236, 200));
    p.drawEllipse(QPointF(980, 150), 60, 60);
    const QColor far(138, 168, 170), mid(112, 150, 104), nearC(150, 180, 100);
    auto hills = [&](double base, double amp, const QColor &col, int seed) {
        QVector<QPointF> pts;
        pts << QPointF(-100, 900);
        TDemoRandom r(seed);
        for (int i = 0; i <= 8; ++i)
            pts << QPointF(-100 + i * 175, base - r.Range(0.3, 1.0) * amp);
        pts << QPointF(1300, 900);
        QPainterPath path = DemoSmoothPath(pts, false);
        path.lineTo(-100, 900);
        p.setBrush(col);
        p.drawPath(path);
    };
    hills(470, 180, far, 11);
    hills(560, 120, mid, 23);
    hills(640, 60, nearC, 37);
    p.setBrush(QColor(126, 160, 82));
    p.drawRect(QRectF(-100, 700, 1400, 200));
    for (int i = 0; i < 5; ++i) {
        const double x = 180 + i * 210 + rng.Range(-40, 40);
        const double height = rng.Range(230, 330) * (i == 2 ? 1.25 : 1.0);
        drawPlant(p, h, QPointF(x, 760 + rng.Range(-10, 20)), height, rng, false);
    }
    p.setPen(QPen(QColor(90, 120, 60), 2));
    for (int i = 0; i < 80; ++i) {
        const double x = rng.Range(-50, 1250), y = rng.Range(720, 800);
        p.drawLine(QPointF(x, y), QPointF(x + rng.Range(-6, 6), y - rng.Range(8, 20)));
    }
}

} // namespace

QString HerbViewName(const TDemoHerb &herb, int view)
{
    const bool fungus = herb.part == THerbPart::Fungus || herb.part == THerbPart::Sclerotium;
    if (fungus && view == 2)
        return herb.part == THerbPart::Fungus ? QStringLiteral("子实体") : QStringLiteral("菌核");
    if (fungus && view == 3)
        return QStringLiteral("菌丝显微");
    switch (view) {
    case 0: return QStringLiteral("全株标本");
    case 1: return QStringLiteral("药用部位");
    case 2: return bearsFruit(herb) ? QStringLiteral("花果枝") : QStringLiteral("花枝");
    case 3: return QStringLiteral("叶形");
    case 4: return QStringLiteral("饮片");
    case 5: return QStringLiteral("横切面");
    default: return QStringLiteral("生境");
    }
}

bool HerbViewIsLandscape(int view)
{
    return view != 0 && view != 2;
}

QImage DrawHerbPicture(const TDemoHerb &herb, int view, QSize size)
{
    TDemoPageStyle style;
    if (view == 0) {
        style.paperTop = QColor(248, 244, 232);
        style.paperBottom = QColor(236, 228, 208);
    }
    const QString title = QString::fromUtf8(herb.name);
    TDemoRandom rng = TDemoRandom::ForKey(title, view);
    return DemoPicture(size, style, title, HerbViewName(herb, view), kHerbTag, [&](TDemoPage &page) {
        switch (view) {
        case 0: viewSpecimen(page, herb, rng); break;
        case 1: viewMedicinalPart(page, herb, rng); break;
        case 2: viewFlowers(page, herb, rng); break;
        case 3: viewLeaf(page, herb, rng); break;
        case 4: viewSlices(page, herb, rng); break;
        case 5: viewSection(page, herb, rng); break;
        default: viewHabitat(page, herb, rng); break;
        }
    });
}
