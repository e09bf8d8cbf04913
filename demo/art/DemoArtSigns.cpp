// Inspection illustrations: the sign itself (tongue, face, eye or nail), a close look, the
// zones a physician reads it by, and the sign beside a normal one.
#include "demo/art/DemoArt.h"
#include "demo/art/DemoArtCanvas.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <QtMath>

#include <cmath>

namespace {

const QString kTag = QStringLiteral("中医望诊图谱");

// The normal picture of the same kind, for comparisons.
TDemoInspection normalOf(const TDemoInspection &s)
{
    switch (s.kind) {
    case TInspectionKind::Tongue: return {"", "正常舌象", s.kind, 0xE58C8A, 0xF8F6F0, 0.35, 0, ""};
    case TInspectionKind::Face: return {"", "正常面色", s.kind, 0xEEC4A6, 0xE8A090, 0.25, 0, ""};
    case TInspectionKind::Eye: return {"", "正常目象", s.kind, 0xF8F6F2, 0xD06060, 0.05, 0, ""};
    case TInspectionKind::Nail: return {"", "正常爪甲", s.kind, 0xF0B8B0, 0xF8EEEA, 0.2, 0, ""};
    }
    return s;
}

// ---------- tongue ----------

QPainterPath tonguePath(const TDemoInspection &s, double scale)
{
    double w = 380, L = 440;
    if (s.features & TongueSwollen)
        w = 470, L = 460;
    if (s.features & TongueThin)
        w = 290, L = 430;
    w *= scale, L *= scale;
    QPainterPath t;
    t.moveTo(-w / 2, 0);
    t.cubicTo(-w * 0.56, L * 0.35, -w * 0.52, L * 0.75, -w * 0.3, L * 0.93);
    t.cubicTo(-w * 0.15, L * 1.02, w * 0.15, L * 1.02, w * 0.3, L * 0.93);
    t.cubicTo(w * 0.52, L * 0.75, w * 0.56, L * 0.35, w / 2, 0);
    t.closeSubpath();
    return t;
}

void drawTongue(QPainter &p, const TDemoInspection &s, QPointF root, double scale, TDemoRandom &rng)
{
    p.save();
    p.translate(root);
    const QPainterPath t = tonguePath(s, scale);
    const QRectF b = t.boundingRect();
    const QColor body(s.body);
    const QRadialGradient g = ArtRadialGradient(QPointF(0, b.height() * 0.45), b.height() * 0.75,
                                                {{0, body.lighter(108)}, {0.8, body}, {1, body.darker(118)}});
    ArtDrawShape(p, t, g, Qt::NoPen);
    {
        // the root of the tongue disappears into the mouth: no outline across it
        QPainterPath sides = t;
        QPainterPath open;
        for (int i = 0; i < sides.elementCount(); ++i) {
            const QPainterPath::Element e = sides.elementAt(i);
            if (e.isMoveTo())
                open.moveTo(e.x, e.y);
            else if (e.type == QPainterPath::CurveToElement) {
                const QPainterPath::Element c2 = sides.elementAt(i + 1), end = sides.elementAt(i + 2);
                open.cubicTo(QPointF(e.x, e.y), QPointF(c2.x, c2.y), QPointF(end.x, end.y));
                i += 2;
            }
        }
        ArtDrawShape(p, open, Qt::NoBrush, QPen(body.darker(140), 2.5 * scale));
    }
    p.setClipPath(t);

    // papillae
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 700; ++i) {
        const QPointF d(rng.Range(b.left(), b.right()), rng.Range(b.top(), b.bottom()));
        p.setBrush(rng.Uniform() < 0.5 ? body.lighter(112) : body.darker(108));
        p.drawEllipse(d, 2.4 * scale, 2.4 * scale);
    }
    // the coating, thickest at the centre and the root
    if (s.coatAmount > 0) {
        const QColor coat(s.coat);
        QColor c0 = coat, c1 = coat;
        c0.setAlphaF(static_cast<float>(std::min(1.0, 0.35 + s.coatAmount * 0.65)));
        c1.setAlphaF(0);
        p.setBrush(ArtRadialGradient(QPointF(0, b.height() * 0.25), b.width() * (0.35 + s.coatAmount * 0.3),
                                     {{0, c0}, {0.55, c0}, {1, c1}}));
        p.drawRect(b);
        // grains of the coating
        for (int i = 0; i < static_cast<int>(500 * s.coatAmount); ++i) {
            const double a = rng.Range(0, 2 * M_PI);
            const double r = std::sqrt(rng.Uniform()) * b.width() * 0.4;
            const QPointF d(std::cos(a) * r, b.height() * 0.28 + std::sin(a) * r * 0.9);
            QColor gc = (s.features & TongueGreasy) ? coat.lighter(104) : coat.darker(104);
            gc.setAlpha(170);
            p.setBrush(gc);
            p.drawEllipse(d, 3.2 * scale, 3.2 * scale);
        }
    }
    if (s.features & TonguePeeled) {
        for (int k = 0; k < 4; ++k) {
            QVector<QPointF> pts;
            const QPointF c(rng.Range(-0.25, 0.25) * b.width(), rng.Range(0.2, 0.6) * b.height());
            const double r = rng.Range(0.06, 0.12) * b.width();
            for (int i = 0; i < 9; ++i) {
                const double a = i * 2 * M_PI / 9;
                pts << c + QPointF(std::cos(a), std::sin(a)) * r * rng.Range(0.7, 1.2);
            }
            ArtDrawShape(p, DemoSmoothPath(pts, true), body.lighter(104), QPen(QColor(s.coat).darker(110), 2 * scale));
        }
    }
    if (s.features & TongueCracks) {
        p.setPen(QPen(body.darker(170), 4 * scale, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(0, b.height() * 0.08), QPointF(0, b.height() * 0.78));
        for (int k = 0; k < 9; ++k) {
            const double y = b.height() * (0.15 + k * 0.07);
            const double side = (k % 2) ? 1 : -1;
            const QPointF a(0, y);
            const QPointF m = a + QPointF(side * b.width() * rng.Range(0.1, 0.18), rng.Range(-10, 20) * scale);
            const QPointF e = m + QPointF(side * b.width() * rng.Range(0.05, 0.12), rng.Range(-20, 20) * scale);
            p.drawPolyline(QPolygonF({a, m, e}));
        }
    } else {
        p.setPen(QPen(body.darker(125), 3 * scale, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(0, b.height() * 0.1), QPointF(0, b.height() * 0.6));
    }
    if (s.features & TonguePrickles) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(190, 20, 30));
        for (int i = 0; i < 120; ++i) {
            const double a = rng.Range(0.15, M_PI - 0.15);
            const double r = rng.Range(0.7, 0.95);
            const QPointF d(-std::cos(a) * b.width() * 0.45 * r, b.height() * (0.35 + std::sin(a) * 0.55 * r));
            p.drawEllipse(d, 4 * scale, 4 * scale);
        }
    }
    p.setClipping(false);
    if (s.features & TongueTeethMarks) {
        // scalloped edges: shallow notches along both sides
        p.setPen(QPen(body.darker(150), 3 * scale));
        p.setBrush(Qt::NoBrush);
        for (int side = -1; side <= 1; side += 2) {
            for (int k = 0; k < 5; ++k) {
                const double y = b.height() * (0.15 + k * 0.13);
                const double x = side * (b.width() / 2 - 10 * scale - k * k * 2.2 * scale);
                p.drawArc(QRectF(x - 18 * scale, y - 22 * scale, 36 * scale, 44 * scale), (side < 0 ? -70 : 110) * 16,
                          140 * 16);
            }
        }
    }
    p.restore();
}

// The open mouth around a protruded tongue.
void drawMouth(QPainter &p, const TDemoInspection &s, TDemoRandom &rng)
{
    const QColor skin(238, 200, 178);
    const QRadialGradient face = ArtRadialGradient(QPointF(500, 200), 700,
                                                   {{0, skin.lighter(104)}, {1, skin.darker(112)}});
    p.fillRect(QRectF(-200, -200, 1400, 1200), face);
    // chin shadow
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(210, 160, 140, 90));
    p.drawEllipse(QPointF(500, 760), 330, 90);
    // mouth cavity and lips
    const QRectF mouth(250, 90, 500, 230);
    QPainterPath cavity;
    cavity.addEllipse(mouth);
    p.setBrush(QColor(70, 20, 28));
    p.drawPath(cavity);
    p.setBrush(QColor(245, 242, 232));
    for (int i = 0; i < 8; ++i) {
        const double x = 330 + i * 43;
        p.drawRoundedRect(QRectF(x, 108 + std::abs(i - 3.5) * 4, 40, 46), 10, 10);
    }
    QPainterPath lips;
    lips.addEllipse(mouth.adjusted(-40, -36, 40, 36));
    lips = lips.subtracted(cavity);
    const QLinearGradient lg = ArtLinearGradient(QPointF(0, mouth.top() - 36), QPointF(0, mouth.bottom() + 36),
            {{0, QColor(200, 100, 100)}, {0.5, QColor(170, 70, 76)}, {1, QColor(205, 110, 108)}});
    ArtDrawShape(p, lips, lg, QPen(QColor(150, 70, 70), 2));
    drawTongue(p, s, QPointF(500, 190), 1.0, rng);
}

// ---------- face ----------

void drawFace(QPainter &p, const TDemoInspection &s, QPointF c, double k)
{
    const QColor skin(s.body);
    p.save();
    p.translate(c);
    p.scale(k, k);
    // shoulders and neck
    p.setPen(QPen(QColor(60, 70, 90), 2));
    p.setBrush(QColor(110, 130, 160));
    p.drawPath(DemoSmoothPath({{-330, 520}, {-300, 400}, {-120, 330}, {0, 340}, {120, 330}, {300, 400}, {330, 520}}, false));
    p.setPen(QPen(skin.darker(130), 2));
    p.setBrush(skin.darker(106));
    p.drawRect(QRectF(-70, 180, 140, 170));
    // hair behind
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 32, 30));
    p.drawEllipse(QPointF(0, -40), 215, 250);
    // ears
    ArtDrawEllipse(p, QPointF(-182, 20), 30, 55, skin.darker(108), QPen(skin.darker(140), 2));
    p.drawEllipse(QPointF(182, 20), 30, 55);
    // face
    const QRadialGradient g = ArtRadialGradient(QPointF(-30, -20), 260,
                                                {{0, skin.lighter(108)}, {1, skin.darker(112)}});
    p.setBrush(g);
    p.drawPath(DemoSmoothPath({{0, -220}, {150, -170}, {180, 0}, {140, 150}, {60, 230}, {0, 240}, {-60, 230}, {-140, 150},
                               {-180, 0}, {-150, -170}},
                              true));
    // fringe
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 32, 30));
    p.drawPath(DemoSmoothPath({{-190, -60}, {-170, -200}, {0, -270}, {170, -200}, {190, -60}, {120, -140}, {0, -150}, {-120, -140}},
                              true));
    // cheeks
    QColor flush(s.coat);
    for (int side = -1; side <= 1; side += 2) {
        QColor c0 = flush, c1 = flush;
        c0.setAlphaF(static_cast<float>(s.coatAmount * 0.8));
        c1.setAlphaF(0);
        p.setBrush(ArtRadialGradient(QPointF(side * 95, 70), 75, {{0, c0}, {1, c1}}));
        p.drawEllipse(QPointF(side * 95, 70), 75, 75);
    }
    // eyes and brows
    for (int side = -1; side <= 1; side += 2) {
        p.setPen(QPen(QColor(40, 30, 26), 7, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(side * 40, -55), QPointF(side * 115, -62));
        p.setPen(QPen(QColor(60, 40, 36), 2.5));
        p.setBrush(QColor(248, 246, 240));
        QPainterPath eye;
        eye.moveTo(side * 40, -15);
        eye.quadTo(side * 78, -45, side * 116, -15);
        eye.quadTo(side * 78, 8, side * 40, -15);
        p.drawPath(eye);
        ArtDrawEllipse(p, QPointF(side * 78, -17), 13, 13, QColor(60, 40, 30), Qt::NoPen);
    }
    // nose and mouth
    p.setPen(QPen(skin.darker(150), 3, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(DemoSmoothPath({{-8, -10}, {-16, 60}, {-26, 80}, {0, 92}, {26, 80}}, false));
    const bool purple = QColor(s.coat).blue() > QColor(s.coat).red();
    const QColor lip = purple ? QColor(120, 80, 120) : DemoMix(QColor(200, 90, 90), skin, 0.3);
    p.setPen(QPen(lip.darker(130), 2));
    p.setBrush(lip);
    QPainterPath mouth;
    mouth.moveTo(-55, 150);
    mouth.quadTo(0, 125, 55, 150);
    mouth.quadTo(0, 185, -55, 150);
    p.drawPath(mouth);
    p.restore();
}

// ---------- eye ----------

void drawEye(QPainter &p, const TDemoInspection &s, QPointF c, double k, TDemoRandom &rng)
{
    p.save();
    p.translate(c);
    p.scale(k, k);
    const QColor skin(236, 196, 170);
    p.setPen(Qt::NoPen);
    const QRadialGradient sg = ArtRadialGradient(QPointF(0, 0), 420, {{0, skin.lighter(104)}, {1, skin.darker(112)}});
    p.setBrush(sg);
    p.drawEllipse(QPointF(0, 0), 440, 260);
    QPainterPath eye;
    eye.moveTo(-300, 0);
    eye.cubicTo(-150, -170, 150, -170, 300, -10);
    eye.cubicTo(150, 130, -150, 130, -300, 0);
    const QRadialGradient sc = ArtRadialGradient(QPointF(0, 0), 300,
                                                 {{0, QColor(s.body).lighter(104)}, {1, QColor(s.body).darker(115)}});
    ArtDrawShape(p, eye, sc, QPen(QColor(120, 70, 60), 4));
    p.save();
    p.setClipPath(eye);
    // vessels
    QColor vessel(s.coat);
    vessel.setAlphaF(static_cast<float>(0.3 + s.coatAmount * 0.7));
    p.setPen(QPen(vessel, 2.5 + s.coatAmount * 2, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 4 + static_cast<int>(s.coatAmount * 14); ++i) {
        const double side = (i % 2) ? 1 : -1;
        QPointF a(side * 300, rng.Range(-60, 60));
        QVector<QPointF> pts{a};
        for (int k2 = 0; k2 < 4; ++k2) {
            a += QPointF(-side * rng.Range(30, 55), rng.Range(-25, 25));
            pts << a;
        }
        p.drawPath(DemoSmoothPath(pts, false));
    }
    // iris and pupil
    const QRadialGradient ig = ArtRadialGradient(QPointF(0, -10), 110,
            {{0, QColor(120, 80, 50)}, {0.7, QColor(80, 50, 32)}, {1, QColor(40, 26, 20)}});
    ArtDrawEllipse(p, QPointF(0, -10), 110, 110, ig, Qt::NoPen);
    p.setBrush(QColor(14, 10, 10));
    p.drawEllipse(QPointF(0, -10), 42, 42);
    p.setBrush(QColor(255, 255, 255, 220));
    p.drawEllipse(QPointF(-30, -45), 18, 14);
    p.restore();
    // lids and lashes
    p.setPen(QPen(QColor(60, 36, 30), 6, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath lid;
    lid.moveTo(-300, 0);
    lid.cubicTo(-150, -170, 150, -170, 300, -10);
    p.drawPath(lid);
    for (int i = 1; i < 12; ++i) {
        const QPointF at = lid.pointAtPercent(i / 12.0);
        p.drawLine(at, at + QPointF((i - 6) * 4, -30));
    }
    p.setPen(QPen(skin.darker(130), 3));
    p.drawArc(QRectF(-330, -230, 640, 330), 30 * 16, 120 * 16);
    p.restore();
}

// ---------- nail ----------

void drawNail(QPainter &p, const TDemoInspection &s, QPointF c, double k)
{
    p.save();
    p.translate(c);
    p.scale(k, k);
    const QColor skin(236, 196, 170);
    const QLinearGradient fg = ArtLinearGradient(QPointF(-170, 0), QPointF(170, 0),
            {{0, skin.darker(118)}, {0.5, skin.lighter(104)}, {1, skin.darker(118)}});
    const QPainterPath finger =
        DemoSmoothPath({{-160, 420}, {-170, 0}, {-150, -220}, {0, -300}, {150, -220}, {170, 0}, {160, 420}}, false);
    ArtDrawShape(p, finger, fg, QPen(skin.darker(140), 3));
    // knuckle creases
    p.setPen(QPen(skin.darker(130), 3, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 3; ++i)
        p.drawArc(QRectF(-90, 250 + i * 18, 180, 40), 20 * 16, 140 * 16);
    // nail
    QPainterPath nail;
    nail.addRoundedRect(QRectF(-110, -250, 220, 300), 100, 70);
    const QLinearGradient ng = ArtLinearGradient(QPointF(0, -250), QPointF(0, 50),
                                                 {{0, QColor(s.body).lighter(112)}, {1, QColor(s.body).darker(106)}});
    ArtDrawShape(p, nail, ng, QPen(QColor(s.body).darker(140), 3));
    // free edge and lunula
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 246, 240, 230));
    p.drawChord(QRectF(-110, -262, 220, 90), 0, 180 * 16);
    p.setBrush(QColor(250, 240, 236, 200));
    p.drawChord(QRectF(-60, 10, 120, 70), 0, 180 * 16);
    p.setBrush(QColor(255, 255, 255, 90));
    p.drawRoundedRect(QRectF(-70, -180, 30, 180), 15, 15);
    p.restore();
}

void drawSubject(QPainter &p, const TDemoInspection &s, QPointF c, double k, TDemoRandom &rng)
{
    switch (s.kind) {
    case TInspectionKind::Tongue: drawTongue(p, s, c - QPointF(0, 230 * k), k, rng); break;
    case TInspectionKind::Face: drawFace(p, s, c, k); break;
    case TInspectionKind::Eye: drawEye(p, s, c, k, rng); break;
    case TInspectionKind::Nail: drawNail(p, s, c, k); break;
    }
}

void viewMain(TDemoPage &page, const TDemoInspection &s, TDemoRandom &rng)
{
    QPainter &p = page.Painter();
    if (s.kind == TInspectionKind::Tongue) {
        p.setClipRect(page.ArtRect());
        page.FitDesign(QSizeF(1000, 760), 0);
        drawMouth(p, s, rng);
        return;
    }
    page.FitDesign(QSizeF(1000, 1000));
    drawSubject(p, s, QPointF(500, s.kind == TInspectionKind::Face ? 440 : 500), s.kind == TInspectionKind::Face ? 1.3 : 1.0,
                rng);
}

void viewCloseUp(TDemoPage &page, const TDemoInspection &s, TDemoRandom &rng)
{
    QPainter &p = page.Painter();
    p.fillRect(page.ArtRect(), QColor(40, 36, 38));
    if (s.kind == TInspectionKind::Tongue) {
        page.ZoomDesign(QSizeF(1000, 760), QPointF(500, 440), 1.7);
        drawMouth(p, s, rng);
        page.ResetTransform();
        p.setClipping(false);
        return;
    }
    const QPointF focus = s.kind == TInspectionKind::Tongue ? QPointF(500, 470)
                          : s.kind == TInspectionKind::Face ? QPointF(560, 440)
                                                            : QPointF(500, 480);
    page.ZoomDesign(QSizeF(1000, 1000), focus, s.kind == TInspectionKind::Face ? 2.2 : (s.kind == TInspectionKind::Tongue ? 1.6 : 1.8));
    drawSubject(p, s, QPointF(500, s.kind == TInspectionKind::Face ? 440 : 500), s.kind == TInspectionKind::Face ? 1.3 : 1.0,
                rng);
    page.ResetTransform();
    p.setClipping(false);
    // a loupe ring marks the close look
    const QRectF art = page.ArtRect();
    p.setPen(QPen(QColor(255, 255, 255, 160), std::max(1.0, page.Unit() * 0.006)));
    p.setBrush(Qt::NoBrush);
    const double r = std::min(art.width(), art.height()) * 0.44;
    p.drawEllipse(art.center(), r, r);
}

struct TZone {
    QString name;
    QPointF at;    // design point the label points to
    QPointF label; // where the text goes
};

QVector<TZone> zonesOf(TInspectionKind kind)
{
    switch (kind) {
    case TInspectionKind::Tongue:
        return {{QStringLiteral("舌尖 · 心肺"), {500, 660}, {780, 700}},
                {QStringLiteral("舌中 · 脾胃"), {500, 470}, {790, 450}},
                {QStringLiteral("舌根 · 肾"), {500, 300}, {780, 230}},
                {QStringLiteral("舌边 · 肝胆"), {330, 420}, {150, 560}}};
    case TInspectionKind::Face:
        return {{QStringLiteral("额 · 心"), {500, 210}, {800, 130}},
                {QStringLiteral("鼻 · 脾"), {500, 470}, {800, 420}},
                {QStringLiteral("左颊 · 肝"), {620, 540}, {820, 620}},
                {QStringLiteral("右颊 · 肺"), {380, 540}, {170, 620}},
                {QStringLiteral("颏 · 肾"), {500, 700}, {780, 820}}};
    case TInspectionKind::Eye:
        return {{QStringLiteral("肉轮 · 胞睑"), {500, 330}, {780, 160}},
                {QStringLiteral("血轮 · 两眦"), {215, 500}, {150, 720}},
                {QStringLiteral("气轮 · 白睛"), {700, 520}, {800, 700}},
                {QStringLiteral("风轮 · 黑睛"), {560, 470}, {820, 420}},
                {QStringLiteral("水轮 · 瞳仁"), {500, 490}, {400, 820}}};
    case TInspectionKind::Nail:
        return {{QStringLiteral("甲缘"), {500, 280}, {780, 200}},
                {QStringLiteral("甲床"), {500, 420}, {780, 400}},
                {QStringLiteral("甲半月"), {500, 560}, {790, 600}},
                {QStringLiteral("甲襞"), {390, 600}, {180, 760}}};
    }
    return {};
}

void viewZones(TDemoPage &page, const TDemoInspection &s, TDemoRandom &rng)
{
    QPainter &p = page.Painter();
    p.fillRect(page.ArtRect(), QColor(252, 252, 248));
    page.FitDesign(QSizeF(1000, 1000));
    p.setOpacity(0.55);
    drawSubject(p, s, QPointF(500, s.kind == TInspectionKind::Face ? 440 : 500), s.kind == TInspectionKind::Face ? 1.3 : 1.0,
                rng);
    p.setOpacity(1);
    if (s.kind == TInspectionKind::Tongue) {
        p.setPen(QPen(QColor(60, 80, 120), 3, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(330, 380), QPointF(670, 380));
        p.drawLine(QPointF(350, 580), QPointF(650, 580));
    }
    for (const TZone &z : zonesOf(s.kind))
        DemoDrawLabel(p, z.at, z.label, z.name, QColor(40, 60, 100), 30);
}

void viewCompare(TDemoPage &page, const TDemoInspection &s, TDemoRandom &rng)
{
    QPainter &p = page.Painter();
    page.FitDesign(QSizeF(1200, 720));
    const TDemoInspection normal = normalOf(s);
    const double k = s.kind == TInspectionKind::Face ? 0.7 : (s.kind == TInspectionKind::Tongue ? 0.95 : 0.55);
    const double y = s.kind == TInspectionKind::Face ? 300 : 330;
    for (int i = 0; i < 2; ++i) {
        const QRectF panel(20 + i * 600, 10, 560, 700);
        p.setPen(QPen(QColor(200, 200, 196), 2));
        p.setBrush(QColor(255, 255, 253));
        p.drawRoundedRect(panel, 16, 16);
        p.save();
        p.setClipRect(panel.adjusted(4, 4, -4, -90));
        drawSubject(p, i == 0 ? normal : s, QPointF(panel.center().x(), y), k, rng);
        p.restore();
        p.setFont(DemoSerif(40, true));
        p.setPen(i == 0 ? QColor(60, 110, 70) : QColor(170, 40, 40));
        p.drawText(QRectF(panel.left(), panel.bottom() - 86, panel.width(), 70), Qt::AlignCenter,
                   QString::fromUtf8(i == 0 ? normal.item : s.item));
    }
}

} // namespace

QString InspectionViewName(int view)
{
    switch (view) {
    case 0: return QStringLiteral("望诊所见");
    case 1: return QStringLiteral("局部放大");
    case 2: return QStringLiteral("分区示意");
    default: return QStringLiteral("与正常对照");
    }
}

QImage DrawInspectionPicture(const TDemoInspection &sign, int view, QSize size)
{
    const TDemoPageStyle style{QColor(252, 250, 248), QColor(240, 234, 230), QColor(96, 40, 44), QColor(236, 200, 196)};
    TDemoRandom rng = TDemoRandom::ForKey(QString::fromUtf8(sign.item), 7);
    const QString subtitle = DemoSubtitle(sign.type, InspectionViewName(view));
    return DemoPicture(size, style, QString::fromUtf8(sign.item), subtitle, kTag, [&](TDemoPage &page) {
        switch (view) {
        case 0: viewMain(page, sign, rng); break;
        case 1: viewCloseUp(page, sign, rng); break;
        case 2: viewZones(page, sign, rng); break;
        default: viewCompare(page, sign, rng); break;
        }
    });
}
