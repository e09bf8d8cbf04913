// Clinical illustrations: skin conditions, radiographs, ECG strips, fundus photographs and an
// ultrasound scan, each as the picture itself, a close look, the finding marked, and a diagram.
#include "demo/art/DemoArt.h"
#include "demo/art/DemoArtCanvas.h"
#include "demo/art/DemoArtFigure.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <QtMath>

#include <cmath>
#include <functional>

namespace {

const QString kTag = QStringLiteral("临床图谱");
const QSizeF kDesign(1000, 750);

// Draws a layer at a quarter of the size and lays it over the art area smoothly scaled up: the
// soft, out-of-focus look of films and scans, at a fraction of the cost.
void softLayer(TDemoPage &page, double factor, const std::function<void(QPainter &)> &draw)
{
    QPainter &p = page.Painter();
    const QRectF art = page.ArtRect();
    const QSize small(std::max(8, static_cast<int>(art.width() / factor)), std::max(8, static_cast<int>(art.height() / factor)));
    QImage layer(small, QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    {
        QPainter lp(&layer);
        lp.setRenderHint(QPainter::Antialiasing);
        const double s = std::min(small.width() / kDesign.width(), small.height() / kDesign.height());
        lp.translate((small.width() - kDesign.width() * s) / 2, (small.height() - kDesign.height() * s) / 2);
        lp.scale(s, s);
        draw(lp);
    }
    p.save();
    p.resetTransform();
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(art, layer);
    p.restore();
}

// ---------- skin ----------

struct TLesion {
    QPointF at;
    double r;
};

QVector<TLesion> lesionSpots(int variant, TDemoRandom &rng)
{
    QVector<TLesion> spots;
    switch (variant) {
    case 2: // a band across the trunk
        for (int i = 0; i < 14; ++i) {
            const double t = i / 13.0;
            spots.append({QPointF(120 + t * 760, 250 + t * 260 + rng.Range(-50, 50)), rng.Range(30, 55)});
        }
        break;
    case 4:
    case 6:
        spots.append({QPointF(380, 330), 150});
        spots.append({QPointF(700, 460), 100});
        break;
    default:
        for (int i = 0; i < 7; ++i)
            spots.append({QPointF(rng.Range(180, 820), rng.Range(150, 600)), rng.Range(50, 120)});
    }
    return spots;
}

QPainterPath blob(QPointF c, double r, TDemoRandom &rng, int n = 11, double rough = 0.25)
{
    QVector<QPointF> pts;
    for (int i = 0; i < n; ++i) {
        const double a = i * 2 * M_PI / n;
        const double k = 1.0 + rng.Range(-rough, rough);
        pts << c + QPointF(std::cos(a), std::sin(a)) * r * k;
    }
    return DemoSmoothPath(pts, true);
}

void drawSkin(QPainter &p, const TDemoClinical &c, TDemoRandom &rng)
{
    const bool dark = c.variant == 4;
    const QColor skin = dark ? QColor(176, 122, 86) : QColor(234, 190, 160);
    const QRadialGradient g = ArtRadialGradient(QPointF(480, 330), 700,
                                                {{0, skin.lighter(106)}, {1, skin.darker(114)}});
    p.fillRect(QRectF(-200, -200, 1400, 1200), g);
    // skin creases and pores
    p.setPen(QPen(skin.darker(112), 1.6));
    for (int i = 0; i < 24; ++i) {
        const QPointF a(rng.Range(-50, 1050), rng.Range(-50, 800));
        p.drawLine(a, a + QPointF(rng.Range(40, 120), rng.Range(-12, 12)));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(skin.darker(118));
    for (int i = 0; i < 260; ++i)
        p.drawEllipse(QPointF(rng.Range(0, 1000), rng.Range(0, 750)), 1.8, 1.8);

    const QVector<TLesion> spots = lesionSpots(c.variant, rng);
    for (const TLesion &l : spots) {
        switch (c.variant) {
        case 0: { // eczema: blurred red patches with papules and crusts
            p.setBrush(ArtGlowGradient(l.at, l.r * 1.3, QColor(210, 70, 70, 200)));
            p.drawEllipse(l.at, l.r * 1.3, l.r * 1.1);
            for (int k = 0; k < 26; ++k) {
                const QPointF d = l.at + QPointF(rng.Range(-1, 1), rng.Range(-0.8, 0.8)) * l.r;
                p.setBrush(k % 6 == 0 ? QColor(224, 190, 100) : QColor(180, 40, 50));
                p.drawEllipse(d, 4.5, 4.5);
            }
            break;
        }
        case 1: { // psoriasis: sharp plaques with silvery scale
            const QPainterPath path = blob(l.at, l.r, rng);
            ArtDrawShape(p, path, QColor(196, 62, 70), QPen(QColor(160, 40, 50), 2));
            p.save();
            p.setClipPath(path);
            p.setPen(Qt::NoPen);
            for (int k = 0; k < 90; ++k) {
                p.setBrush(QColor(246, 244, 240, static_cast<int>(rng.Range(120, 230))));
                const QPointF d = l.at + QPointF(rng.Range(-1, 1), rng.Range(-1, 1)) * l.r;
                p.drawEllipse(d, rng.Range(6, 16), rng.Range(3, 7));
            }
            p.restore();
            p.setPen(Qt::NoPen);
            break;
        }
        case 2: { // zoster: clustered vesicles on a red base
            p.setBrush(ArtGlowGradient(l.at, l.r * 1.4, QColor(220, 80, 80, 180)));
            p.drawEllipse(l.at, l.r * 1.4, l.r * 1.2);
            for (int k = 0; k < 9; ++k) {
                const QPointF d = l.at + QPointF(rng.Range(-0.7, 0.7), rng.Range(-0.6, 0.6)) * l.r;
                const double vr = rng.Range(6, 11);
                const QRadialGradient vg = ArtRadialGradient(d - QPointF(vr * 0.3, vr * 0.3), vr,
                                                             {{0, QColor(255, 255, 245)}, {1, QColor(236, 220, 196)}});
                ArtDrawEllipse(p, d, vr, vr, vg, QPen(QColor(190, 90, 80), 1.4));
                p.setPen(Qt::NoPen);
            }
            break;
        }
        case 3: { // urticaria: pale raised wheals with a red flare
            const QPainterPath path = blob(l.at, l.r, rng, 13, 0.35);
            p.setBrush(QColor(226, 120, 120, 160));
            p.drawPath(path.translated(0, 0));
            p.save();
            p.translate(l.at);
            p.scale(0.8, 0.8);
            p.translate(-l.at);
            p.setBrush(QColor(248, 214, 204));
            p.drawPath(path);
            p.restore();
            break;
        }
        case 4: { // vitiligo: milky depigmented patches with sharp borders
            const QPainterPath path = blob(l.at, l.r, rng, 13, 0.3);
            ArtDrawShape(p, path, QColor(246, 232, 220), QPen(QColor(150, 100, 70), 2));
            p.setPen(Qt::NoPen);
            break;
        }
        case 5: { // acne: comedones, papules, pustules
            for (int k = 0; k < 6; ++k) {
                const QPointF d = l.at + QPointF(rng.Range(-1, 1), rng.Range(-1, 1)) * l.r;
                const int kind = rng.Below(3);
                if (kind == 0) {
                    p.setBrush(QColor(70, 50, 40));
                    p.drawEllipse(d, 3.5, 3.5);
                } else {
                    const QRadialGradient pg = ArtRadialGradient(d, 16,
                            {{0, kind == 2 ? QColor(250, 236, 170) : QColor(200, 60, 60)}, {0.4, QColor(204, 70, 70)},
                             {1, QColor(204, 70, 70, 0)}});
                    p.setBrush(pg);
                    p.drawEllipse(d, 16, 16);
                }
            }
            break;
        }
        default: { // tinea: annular red edge with scale, clearer centre
            ArtDrawShape(p, blob(l.at, l.r, rng, 13, 0.08), Qt::NoBrush, QPen(QColor(196, 70, 70), l.r * 0.16));
            p.setPen(QPen(QColor(246, 230, 220, 200), l.r * 0.04, Qt::DotLine));
            p.drawPath(blob(l.at, l.r * 1.04, rng, 13, 0.08));
            p.setPen(Qt::NoPen);
            break;
        }
        }
    }
}

// ---------- films ----------

void filmBase(QPainter &p)
{
    p.fillRect(QRectF(-200, -200, 1400, 1200), QColor(10, 10, 12));
}

void drawChest(TDemoPage &page, const TDemoClinical &c, TDemoRandom &rng)
{
    const bool bigHeart = c.variant == 4;
    softLayer(page, 4, [&](QPainter &p) {
        filmBase(p);
        // soft tissue of the trunk and shoulders
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(92, 92, 96));
        p.drawPath(DemoSmoothPath({{60, 760}, {90, 300}, {200, 170}, {420, 120}, {580, 120}, {800, 170}, {910, 300},
                                   {940, 760}},
                                  true));
        // lung fields
        p.setBrush(QColor(22, 22, 26));
        const QPainterPath right = DemoSmoothPath({{430, 170}, {300, 190}, {200, 330}, {170, 600}, {240, 640}, {420, 600}, {440, 350}}, true);
        const QPainterPath left = DemoSmoothPath({{570, 170}, {700, 190}, {800, 330}, {830, 610}, {760, 650}, {580, 620}, {560, 350}}, true);
        p.drawPath(right);
        p.drawPath(c.variant == 2 ? left : left);
        // mediastinum, spine and heart
        p.setBrush(QColor(200, 200, 204));
        p.drawRect(QRectF(468, 100, 64, 660));
        p.setBrush(QColor(214, 214, 218));
        const double hw = bigHeart ? 1.45 : 1.0;
        // the heart shadow: right border just beside the spine, apex down and to the patient's left
        p.drawPath(DemoSmoothPath({{470, 300}, {445, 380}, {432, 470}, {448, 590}, {540, 640}, {500 + 200 * hw, 625},
                                   {500 + 225 * hw, 560}, {500 + 170 * hw, 450}, {580, 370}, {535, 300}},
                                  true));
        // diaphragm domes
        p.setBrush(QColor(180, 180, 184));
        p.drawPath(DemoSmoothPath({{160, 800}, {170, 620}, {300, 580}, {450, 620}, {460, 800}}, true));
        p.drawPath(DemoSmoothPath({{540, 800}, {560, 640}, {700, 610}, {840, 640}, {850, 800}}, true));
        if (c.variant == 1) { // consolidation, right lower zone
            p.setBrush(ArtGlowGradient(QPointF(300, 510), 150, QColor(210, 210, 212, 235)));
            p.drawEllipse(QPointF(300, 510), 170, 130);
        }
        if (c.variant == 3) { // effusion with a meniscus
            p.setBrush(QColor(206, 206, 210));
            p.drawPath(DemoSmoothPath({{160, 800}, {165, 430}, {250, 520}, {350, 560}, {450, 560}, {460, 800}}, true));
        }
    });
    QPainter &p = page.Painter();
    page.FitDesign(kDesign, 0);
    // ribs and clavicles, faint and sharp
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 9; ++i) {
        const double y = 200 + i * 50;
        for (int side = -1; side <= 1; side += 2) {
            const bool collapsedSide = c.variant == 2 && side > 0;
            Q_UNUSED(collapsedSide);
            p.setPen(QPen(QColor(200, 200, 206, 70), 12, Qt::SolidLine, Qt::RoundCap));
            p.drawPath(DemoSmoothPath({{500.0 + side * 40, y}, {500 + side * 250.0, y - 30}, {500 + side * 340.0, y + 30},
                                       {500 + side * 300.0, y + 120}},
                                      false));
        }
    }
    p.setPen(QPen(QColor(220, 220, 226, 120), 16, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(DemoSmoothPath({{470, 190}, {340, 170}, {200, 200}}, false));
    p.drawPath(DemoSmoothPath({{530, 190}, {660, 170}, {800, 200}}, false));
    // lung markings from the hila
    auto markings = [&](QPointF hilum, int side, bool present) {
        if (!present)
            return;
        p.setPen(QPen(QColor(150, 150, 156, 110), 3, Qt::SolidLine, Qt::RoundCap));
        for (int i = 0; i < 14; ++i) {
            QPointF a = hilum;
            double ang = qDegreesToRadians(side > 0 ? rng.Range(-60, 70) : rng.Range(110, 240));
            QVector<QPointF> pts{a};
            for (int k = 0; k < 4; ++k) {
                ang += rng.Range(-0.25, 0.25);
                a += QPointF(std::cos(ang), std::sin(ang)) * rng.Range(40, 70);
                pts << a;
            }
            p.drawPath(DemoSmoothPath(pts, false));
        }
    };
    // lung markings show only over the lung fields
    p.save();
    QPainterPath lungs = DemoSmoothPath({{430, 170}, {300, 190}, {200, 330}, {170, 600}, {240, 640}, {420, 600}, {440, 350}}, true);
    lungs.addPath(DemoSmoothPath({{570, 170}, {700, 190}, {800, 330}, {830, 610}, {760, 650}, {580, 620}, {560, 350}}, true));
    p.setClipPath(lungs, Qt::IntersectClip);
    markings(QPointF(440, 390), -1, true);
    markings(QPointF(560, 390), 1, c.variant != 2);
    p.restore();
    if (c.variant == 2) {
        // the collapsed lung's edge, with no markings outside it
        p.setPen(QPen(QColor(210, 210, 216, 190), 3));
        p.setBrush(QColor(40, 40, 46, 160));
        p.drawPath(DemoSmoothPath({{585, 215}, {660, 235}, {700, 320}, {680, 420}, {610, 440}, {575, 330}}, true));
    }
    p.setFont(DemoSans(34, true));
    p.setPen(QColor(230, 230, 230));
    p.drawText(QRectF(60, 40, 60, 50), Qt::AlignCenter, QStringLiteral("R"));
    p.setFont(DemoSans(20));
    p.setPen(QColor(170, 170, 176));
    p.drawText(QRectF(700, 40, 260, 30), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("DR  PA位  120kV"));
}

void drawBone(TDemoPage &page, const TDemoClinical &c, TDemoRandom &)
{
    softLayer(page, 3, [&](QPainter &p) {
        filmBase(p);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(80, 80, 86));
        if (c.variant == 2)
            p.drawRoundedRect(QRectF(280, -50, 440, 900), 160, 160);
        else
            p.drawRoundedRect(QRectF(-100, 220, 1200, 330), 160, 160);
    });
    QPainter &p = page.Painter();
    page.FitDesign(kDesign, 0);
    auto bone = [&](const QPainterPath &path) {
        const QLinearGradient g = ArtLinearGradient(path.boundingRect().topLeft(), path.boundingRect().bottomLeft(),
                {{0, QColor(238, 238, 240)}, {0.5, QColor(170, 170, 176)}, {1, QColor(238, 238, 240)}});
        ArtDrawShape(p, path, g, QPen(QColor(250, 250, 252), 5));
    };
    switch (c.variant) {
    case 0: { // femoral shaft, broken and displaced
        QPainterPath a;
        a.addRoundedRect(QRectF(-40, 330, 520, 100), 40, 40);
        QPainterPath b;
        b.addRoundedRect(QRectF(0, 0, 540, 100), 40, 40);
        QTransform t;
        t.translate(500, 360);
        t.rotate(-9);
        bone(a);
        bone(t.map(b));
        p.setPen(QPen(QColor(20, 20, 24), 6));
        p.drawLine(QPointF(478, 330), QPointF(492, 432));
        break;
    }
    case 1: { // radius and ulna with a distal radius fracture
        QPainterPath ulna;
        ulna.addRoundedRect(QRectF(-40, 420, 760, 70), 30, 30);
        bone(ulna);
        QPainterPath shaft;
        shaft.addRoundedRect(QRectF(-40, 300, 640, 90), 35, 35);
        bone(shaft);
        QPainterPath distal;
        distal.addRoundedRect(QRectF(0, 0, 140, 130), 40, 40);
        QTransform t;
        t.translate(600, 260);
        t.rotate(-14);
        bone(t.map(distal));
        for (int i = 0; i < 6; ++i) { // carpals
            QPainterPath cb;
            cb.addEllipse(QPointF(800 + (i % 3) * 60, 300 + (i / 3) * 90), 30, 36);
            bone(cb);
        }
        p.setPen(QPen(QColor(20, 20, 24), 5));
        p.drawLine(QPointF(600, 300), QPointF(612, 392));
        break;
    }
    default: { // knee: narrow joint space and spurs
        QPainterPath femur = DemoSmoothPath({{400, -60}, {600, -60}, {610, 200}, {680, 300}, {660, 360}, {520, 345},
                                              {500, 330}, {480, 345}, {340, 360}, {320, 300}, {390, 200}},
                                             true);
        bone(femur);
        QPainterPath tibia = DemoSmoothPath({{330, 390}, {500, 375}, {670, 390}, {690, 440}, {610, 520}, {600, 820},
                                              {420, 820}, {400, 520}, {320, 440}},
                                             true);
        bone(tibia);
        p.setBrush(QColor(240, 240, 242));
        p.setPen(Qt::NoPen);
        p.drawPolygon(QPolygonF({QPointF(330, 390), QPointF(300, 375), QPointF(330, 405)}));
        p.drawPolygon(QPolygonF({QPointF(670, 390), QPointF(705, 372), QPointF(672, 408)}));
        break;
    }
    }
    p.setFont(DemoSans(34, true));
    p.setPen(QColor(230, 230, 230));
    p.drawText(QRectF(60, 40, 60, 50), Qt::AlignCenter, QStringLiteral("L"));
}

// ---------- ECG ----------

// Millivolts at time t (seconds) of lead II for each rhythm; a pure function of its arguments.
double ecgValue(int variant, double t, double lead)
{
    auto gauss = [](double x, double mu, double sigma, double amp) {
        return amp * std::exp(-(x - mu) * (x - mu) / (2 * sigma * sigma));
    };
    if (variant == 3) { // ventricular tachycardia: wide, regular, fast
        const double ph = std::fmod(t, 0.333) / 0.333;
        return lead * (1.4 * std::sin(ph * 2 * M_PI) * std::exp(-ph * 0.8) - 0.2);
    }
    double period = 0.8;
    double start = std::floor(t / period) * period;
    if (variant == 1) {
        // irregular RR: beat starts from a fixed, uneven sequence
        static const double rr[] = {0.62, 0.94, 0.55, 0.81, 1.02, 0.6, 0.74, 0.9, 0.52, 0.86};
        double s = 0;
        int i = 0;
        while (s + rr[i % 10] <= t) {
            s += rr[i % 10];
            ++i;
        }
        start = s;
        period = rr[i % 10];
    }
    const double x = t - start;
    double v = 0;
    if (variant != 1)
        v += gauss(x, 0.1, 0.025, 0.15); // P
    else
        v += 0.05 * std::sin(t * 2 * M_PI * 6.3) + 0.03 * std::sin(t * 2 * M_PI * 8.7);
    v += gauss(x, 0.2, 0.008, -0.12);     // Q
    v += gauss(x, 0.22, 0.011, 1.3);      // R
    v += gauss(x, 0.245, 0.01, -0.3);     // S
    if (variant == 2) {
        v += gauss(x, 0.36, 0.07, 0.55) + (x > 0.25 && x < 0.33 ? 0.3 : 0); // elevated ST into the T wave
    } else {
        v += gauss(x, 0.42, 0.045, 0.32); // T
    }
    Q_UNUSED(period);
    return v * lead;
}

void ecgGrid(QPainter &p, const QRectF &r, double mm)
{
    p.fillRect(r, QColor(255, 250, 248));
    for (int i = 0; i * mm <= r.width() + 0.1; ++i) {
        p.setPen(QPen(i % 5 == 0 ? QColor(240, 150, 150) : QColor(250, 212, 212), i % 5 == 0 ? 1.6 : 0.8));
        p.drawLine(QPointF(r.left() + i * mm, r.top()), QPointF(r.left() + i * mm, r.bottom()));
    }
    for (int i = 0; i * mm <= r.height() + 0.1; ++i) {
        p.setPen(QPen(i % 5 == 0 ? QColor(240, 150, 150) : QColor(250, 212, 212), i % 5 == 0 ? 1.6 : 0.8));
        p.drawLine(QPointF(r.left(), r.top() + i * mm), QPointF(r.right(), r.top() + i * mm));
    }
}

// A trace: 25 mm/s, 10 mm/mV.
void ecgTrace(QPainter &p, int variant, QPointF origin, double seconds, double mm, double lead, double t0 = 0)
{
    QPolygonF line;
    const int n = static_cast<int>(seconds * 500);
    for (int i = 0; i <= n; ++i) {
        const double t = t0 + i / 500.0;
        line << QPointF(origin.x() + (t - t0) * 25 * mm, origin.y() - ecgValue(variant, t, lead) * 10 * mm);
    }
    p.setPen(QPen(QColor(20, 20, 30), std::max(1.2, mm * 0.28), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(line);
}

void drawEcg(QPainter &p, const TDemoClinical &c, int view)
{
    const QRectF r(0, 0, 1000, 750);
    const double mm = 6.5;
    ecgGrid(p, r, mm);
    if (view == 3) { // twelve leads in four columns
        static const char *names[] = {"I", "aVR", "V1", "V4", "II", "aVL", "V2", "V5", "III", "aVF", "V3", "V6"};
        static const double gains[] = {0.7, -0.6, -0.5, 1.1, 1.0, 0.4, -0.3, 1.2, 0.5, 0.8, 0.6, 0.9};
        for (int i = 0; i < 12; ++i) {
            const int col = i % 4, row = i / 4;
            const QPointF o(20 + col * 245, 150 + row * 200);
            ecgTrace(p, c.variant, o, 1.45, mm, gains[i], col * 1.45);
            p.setFont(DemoSans(22, true));
            p.setPen(QColor(40, 40, 60));
            p.drawText(QRectF(o.x() + 4, o.y() - 110, 80, 30), Qt::AlignLeft | Qt::AlignVCenter, QString::fromLatin1(names[i]));
        }
        ecgTrace(p, c.variant, QPointF(20, 690), 5.9, mm, 1.0);
        return;
    }
    const double zoom = view == 1 ? 2.5 : 1.0;
    const double m = mm * zoom;
    if (view == 1) {
        ecgGrid(p, r, m);
        ecgTrace(p, c.variant, QPointF(40, 470), 1.15, m, 1.0, 0.02);
        p.setFont(DemoSans(30, true));
        p.setPen(QColor(40, 80, 160));
        if (c.variant != 3) {
            if (c.variant != 1)
                p.drawText(QRectF(40 + (0.1 - 0.02) * 25 * m - 30, 300, 60, 40), Qt::AlignCenter, QStringLiteral("P"));
            p.drawText(QRectF(40 + (0.22 - 0.02) * 25 * m - 50, 40, 100, 40), Qt::AlignCenter, QStringLiteral("QRS"));
            p.drawText(QRectF(40 + (0.42 - 0.02) * 25 * m - 30, 270, 60, 40), Qt::AlignCenter,
                       c.variant == 2 ? QStringLiteral("ST") : QStringLiteral("T"));
        }
        return;
    }
    static const char *leads[] = {"II", "V1", "V5"};
    static const double gains[] = {1.0, -0.5, 1.2};
    for (int i = 0; i < 3; ++i) {
        const QPointF o(20, 170 + i * 220);
        ecgTrace(p, c.variant, o, 5.9, m, gains[i]);
        p.setFont(DemoSans(24, true));
        p.setPen(QColor(40, 40, 60));
        p.drawText(QRectF(24, o.y() - 120, 80, 30), Qt::AlignLeft | Qt::AlignVCenter, QString::fromLatin1(leads[i]));
    }
    p.setFont(DemoSans(18));
    p.setPen(QColor(120, 90, 90));
    p.drawText(QRectF(600, 715, 380, 30), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("25 mm/s   10 mm/mV"));
}

// ---------- fundus ----------

void drawFundus(TDemoPage &page, const TDemoClinical &c, TDemoRandom &rng)
{
    QPainter &p = page.Painter();
    p.fillRect(page.ArtRect(), Qt::black);
    page.FitDesign(kDesign, 0);
    const QPointF centre(500, 375);
    const double R = 350;
    const QRadialGradient g = ArtRadialGradient(centre, R,
            {{0, QColor(236, 120, 60)}, {0.75, QColor(200, 80, 40)}, {1, QColor(90, 30, 16)}});
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(centre, R, R);
    p.save();
    QPainterPath clip;
    clip.addEllipse(centre, R, R);
    p.setClipPath(clip);
    const QPointF disc(330, 360), macula(560, 385);
    p.setBrush(ArtGlowGradient(macula, 90, QColor(120, 40, 20, 200)));
    p.drawEllipse(macula, 90, 90);
    p.setBrush(QColor(255, 240, 200, 200));
    p.drawEllipse(macula, 5, 5);
    // vessels arc out of the disc above and below the macula
    for (int k = 0; k < 8; ++k) {
        const bool vein = k % 2;
        const double up = (k / 2) % 2 ? -1 : 1;
        const double spread = 1 + (k / 4) * 0.8;
        QVector<QPointF> pts{disc};
        pts << disc + QPointF(60 * spread, up * 70);
        pts << disc + QPointF(200, up * 150 * spread);
        pts << disc + QPointF(420, up * 170 * spread);
        pts << disc + QPointF(560, up * 120 * spread);
        const QPen vessel(vein ? QColor(130, 20, 24) : QColor(190, 40, 36), vein ? 10 : 7, Qt::SolidLine, Qt::RoundCap);
        ArtDrawShape(p, DemoSmoothPath(pts, false), Qt::NoBrush, vessel);
    }
    p.setPen(QPen(QColor(190, 40, 36), 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(disc, disc + QPointF(-200, 20));
    p.drawLine(disc, disc + QPointF(-190, -60));
    const QRadialGradient dg = ArtRadialGradient(disc, 55,
            {{0, QColor(255, 246, 210)}, {0.5, QColor(250, 220, 150)}, {1, QColor(236, 160, 90)}});
    p.setPen(Qt::NoPen);
    p.setBrush(dg);
    p.drawEllipse(disc, 55, 60);
    if (c.variant == 1) {
        for (int i = 0; i < 40; ++i) { // microaneurysms and dot haemorrhages
            const QPointF d = macula + QPointF(rng.Range(-260, 220), rng.Range(-220, 220));
            p.setBrush(QColor(120, 10, 10));
            p.drawEllipse(d, rng.Range(3, 7), rng.Range(3, 7));
        }
        for (int i = 0; i < 6; ++i) { // blot haemorrhages
            p.setBrush(QColor(110, 12, 14, 220));
            p.drawPath(blob(macula + QPointF(rng.Range(-250, 250), rng.Range(-220, 220)), rng.Range(14, 26), rng));
        }
        for (int i = 0; i < 30; ++i) { // hard exudates around the macula
            const double a = rng.Range(0, 2 * M_PI);
            const double d = rng.Range(80, 130);
            p.setBrush(QColor(250, 230, 120));
            p.drawEllipse(macula + QPointF(std::cos(a), std::sin(a)) * d, rng.Range(4, 9), rng.Range(3, 7));
        }
        for (int i = 0; i < 3; ++i) { // cotton-wool spots
            const QPointF at = disc + QPointF(rng.Range(80, 260), rng.Range(-200, 200));
            p.setBrush(ArtGlowGradient(at, 30, QColor(255, 250, 240, 230)));
            p.drawEllipse(at, 30, 24);
        }
    }
    p.restore();
}

// ---------- ultrasound ----------

void drawUltrasound(TDemoPage &page, TDemoRandom &rng)
{
    const QPointF apex(500, 30);
    QPainterPath fan;
    fan.moveTo(apex);
    fan.arcTo(QRectF(apex.x() - 680, apex.y() - 680, 1360, 1360), -55, -70);
    fan.closeSubpath();
    softLayer(page, 3, [&](QPainter &p) {
        p.fillRect(QRectF(-200, -200, 1400, 1200), Qt::black);
        p.setClipPath(fan);
        p.fillRect(QRectF(0, 0, 1000, 750), QColor(70, 70, 70));
        p.setPen(Qt::NoPen);
        for (int i = 0; i < 2600; ++i) { // speckle of the liver
            const int v = static_cast<int>(rng.Range(30, 150));
            p.setBrush(QColor(v, v, v));
            p.drawEllipse(QPointF(rng.Range(0, 1000), rng.Range(0, 750)), rng.Range(3, 7), rng.Range(2, 4));
        }
        // the gallbladder: an echo-free pear
        p.setBrush(QColor(8, 8, 8));
        p.drawPath(DemoSmoothPath({{330, 330}, {480, 290}, {640, 330}, {700, 420}, {620, 500}, {450, 510}, {340, 460}}, true));
        // acoustic shadow below the stone
        const QLinearGradient sg = ArtLinearGradient(QPointF(0, 470), QPointF(0, 750),
                                                     {{0, QColor(0, 0, 0, 230)}, {1, QColor(0, 0, 0, 120)}});
        p.setBrush(sg);
        p.drawPolygon(QPolygonF({QPointF(520, 470), QPointF(600, 470), QPointF(640, 760), QPointF(500, 760)}));
    });
    QPainter &p = page.Painter();
    page.FitDesign(kDesign, 0);
    // the stone: a bright curved echo
    p.setPen(QPen(QColor(250, 250, 250), 14, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(515, 430, 90, 70), 20 * 16, 140 * 16);
    p.setPen(QPen(QColor(200, 200, 200), 2));
    p.drawPath(fan);
    p.setFont(DemoSans(20));
    p.setPen(QColor(200, 200, 200));
    p.drawText(QRectF(20, 20, 300, 30), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("腹部  凸阵  3.5MHz"));
    for (int i = 0; i < 8; ++i) {
        p.drawLine(QPointF(950, 100 + i * 80), QPointF(970, 100 + i * 80));
        p.drawText(QRectF(900, 84 + i * 80, 45, 30), Qt::AlignRight | Qt::AlignVCenter, QString::number(i * 2));
    }
}

// ---------- views ----------

void drawMain(TDemoPage &page, const TDemoClinical &c, int view, TDemoRandom &rng)
{
    QPainter &p = page.Painter();
    switch (c.kind) {
    case TClinicalKind::Skin:
        p.setClipRect(page.ArtRect());
        page.FitDesign(kDesign, 0);
        drawSkin(p, c, rng);
        break;
    case TClinicalKind::ChestFilm: drawChest(page, c, rng); break;
    case TClinicalKind::BoneFilm: drawBone(page, c, rng); break;
    case TClinicalKind::Ecg:
        p.setClipRect(page.ArtRect());
        page.FitDesign(kDesign, 0);
        drawEcg(p, c, view);
        break;
    case TClinicalKind::Fundus: drawFundus(page, c, rng); break;
    case TClinicalKind::Ultrasound: drawUltrasound(page, rng); break;
    }
    page.ResetTransform();
    p.setClipping(false);
}

// Where the finding is, in design units.
QPointF findingAt(const TDemoClinical &c)
{
    switch (c.kind) {
    case TClinicalKind::ChestFilm:
        return c.variant == 1 ? QPointF(300, 510) : c.variant == 2 ? QPointF(760, 420) : c.variant == 3 ? QPointF(300, 560) : QPointF(600, 500);
    case TClinicalKind::BoneFilm: return c.variant == 0 ? QPointF(490, 380) : c.variant == 1 ? QPointF(610, 340) : QPointF(500, 370);
    case TClinicalKind::Ecg: return QPointF(170, 160);
    case TClinicalKind::Fundus: return c.variant == 1 ? QPointF(560, 385) : QPointF(330, 360);
    case TClinicalKind::Ultrasound: return QPointF(560, 460);
    default: return QPointF(400, 340);
    }
}

void viewZoom(TDemoPage &page, const TDemoClinical &c, TDemoRandom &rng)
{
    QPainter &p = page.Painter();
    if (c.kind == TClinicalKind::Ecg) {
        drawMain(page, c, 1, rng);
        return;
    }
    if (c.kind == TClinicalKind::Skin) {
        const QRectF art = page.ArtRect();
        const TLesion first = lesionSpots(c.variant, rng).first();
        // large patches are best seen at their border
        const bool patch = c.variant == 4 || c.variant == 6;
        page.ZoomDesign(kDesign, first.at + QPointF(patch ? first.r * 0.85 : 0, 0), 2.6);
        TDemoRandom again = TDemoRandom::ForKey(QString::fromUtf8(c.item), 0);
        drawSkin(p, c, again);
        page.ResetTransform();
        p.setClipping(false);
        // the round field of a dermatoscope
        const double r = std::min(art.width(), art.height()) * 0.46;
        QPainterPath outside;
        outside.addRect(art);
        QPainterPath lens;
        lens.addEllipse(art.center(), r, r);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawPath(outside.subtracted(lens));
        p.setPen(QPen(QColor(90, 90, 96), std::max(2.0, page.Unit() * 0.012)));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(art.center(), r, r);
        return;
    }
    // films and photographs: draw the whole picture twice as large and show the part around the finding
    const QPointF f = findingAt(c);
    const QRectF art = page.ArtRect();
    TDemoPage big(QSize(qRound(art.width() * 2), qRound(art.height() * 2)), TDemoPageStyle());
    TDemoRandom again = TDemoRandom::ForKey(QString::fromUtf8(c.item), 0);
    drawMain(big, c, 0, again);
    const QRectF bigArt = big.ArtRect();
    const QImage whole = big.Finish();
    const double s = std::min(bigArt.width() / kDesign.width(), bigArt.height() / kDesign.height());
    const QPointF fPix(bigArt.left() + (bigArt.width() - kDesign.width() * s) / 2 + f.x() * s,
                       bigArt.top() + (bigArt.height() - kDesign.height() * s) / 2 + f.y() * s);
    const QSizeF crop(bigArt.width() / 2.0, bigArt.height() / 2.0);
    QRectF src(fPix - QPointF(crop.width() / 2, crop.height() / 2), crop);
    src.moveLeft(std::clamp(src.left(), bigArt.left(), bigArt.right() - crop.width()));
    src.moveTop(std::clamp(src.top(), bigArt.top(), bigArt.bottom() - crop.height()));
    p.drawImage(art, whole, src);
}

void viewMarked(TDemoPage &page, const TDemoClinical &c, TDemoRandom &rng)
{
    drawMain(page, c, 0, rng);
    QPainter &p = page.Painter();
    page.FitDesign(kDesign, 0);
    const QPointF f = findingAt(c);
    const bool darkBg = c.kind != TClinicalKind::Skin && c.kind != TClinicalKind::Ecg;
    const QColor mark = darkBg ? QColor(255, 214, 60) : QColor(30, 90, 200);
    p.setPen(QPen(mark, 5, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    if (c.kind == TClinicalKind::Ecg) {
        p.drawRect(QRectF(f.x() - 120, f.y() - 120, 240, 170));
    } else {
        p.drawEllipse(f, 110, 90);
    }
    // arrow from the label to the finding
    const QPointF from(f.x() < 500 ? f.x() + 300 : f.x() - 300, f.y() < 375 ? f.y() + 220 : f.y() - 220);
    const QPointF to = f + (from - f) * (110.0 / std::hypot(from.x() - f.x(), from.y() - f.y()));
    p.drawLine(from, to);
    const QPointF dir = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
    const QPointF nrm(-dir.y(), dir.x());
    p.setBrush(mark);
    p.drawPolygon(QPolygonF({to, to - dir * 26 + nrm * 12, to - dir * 26 - nrm * 12}));
    DemoDrawCentredText(p, from + QPointF(0, from.y() > f.y() ? 34 : -34), QString::fromUtf8(c.finding), DemoSans(34, true),
                        mark, darkBg ? QColor(0, 0, 0, 200) : QColor(255, 255, 255, 220));
}

void viewDiagram(TDemoPage &page, const TDemoClinical &c, TDemoRandom &rng)
{
    QPainter &p = page.Painter();
    if (c.kind == TClinicalKind::Ecg) {
        drawMain(page, c, 3, rng);
        return;
    }
    p.fillRect(page.ArtRect(), QColor(250, 250, 248));
    if (c.kind == TClinicalKind::Skin) {
        // where the condition typically shows on the body
        page.FitDesign(QSizeF(900, 1000));
        p.translate(250, 0);
        p.setPen(QPen(QColor(120, 120, 130), 2.5));
        p.setBrush(QColor(236, 230, 226));
        p.drawPath(DemoBodyOutline());
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(210, 60, 60, 150));
        switch (c.variant) {
        case 0: p.drawEllipse(QPointF(300, 390), 18, 26); p.drawEllipse(QPointF(100, 390), 18, 26);
                p.drawEllipse(QPointF(230, 745), 16, 22); p.drawEllipse(QPointF(170, 745), 16, 22); break;
        case 1: p.drawEllipse(QPointF(312, 385), 16, 16); p.drawEllipse(QPointF(88, 385), 16, 16);
                p.drawEllipse(QPointF(232, 740), 18, 18); p.drawEllipse(QPointF(168, 740), 18, 18);
                p.drawEllipse(QPointF(200, 30), 30, 14); break;
        case 2: p.drawPath(DemoSmoothPath({{200, 300}, {250, 310}, {260, 340}, {200, 335}}, true)); break;
        case 3:
            for (int i = 0; i < 12; ++i)
                p.drawEllipse(QPointF(rng.Range(150, 250), rng.Range(180, 700)), 12, 9);
            break;
        case 4: p.drawEllipse(QPointF(320, 610), 18, 20); p.drawEllipse(QPointF(80, 610), 18, 20);
                p.drawEllipse(QPointF(185, 60), 12, 10); break;
        case 5: p.drawEllipse(QPointF(180, 90), 14, 12); p.drawEllipse(QPointF(220, 90), 14, 12);
                p.drawEllipse(QPointF(200, 230), 30, 24); break;
        default: p.drawEllipse(QPointF(180, 330), 30, 30); p.drawEllipse(QPointF(240, 460), 22, 22); break;
        }
        p.resetTransform();
        page.FitDesign(QSizeF(900, 1000));
        p.setFont(DemoSerif(44, true));
        p.setPen(QColor(60, 40, 40));
        p.drawText(QRectF(0, 80, 300, 60), Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf8(c.item));
        p.setFont(DemoSans(28));
        p.drawText(QRectF(0, 150, 300, 120), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                   QStringLiteral("好发部位\n%1").arg(QString::fromUtf8(c.finding)));
        return;
    }
    // a line diagram of the picture with its parts named
    page.FitDesign(kDesign);
    p.setPen(QPen(QColor(40, 40, 50), 3));
    p.setBrush(Qt::NoBrush);
    const QColor ink(40, 40, 60);
    switch (c.kind) {
    case TClinicalKind::ChestFilm:
        p.drawPath(DemoSmoothPath({{430, 170}, {300, 190}, {200, 330}, {170, 600}, {240, 640}, {420, 600}, {440, 350}}, true));
        p.drawPath(DemoSmoothPath({{570, 170}, {700, 190}, {800, 330}, {830, 610}, {760, 650}, {580, 620}, {560, 350}}, true));
        p.drawPath(DemoSmoothPath({{460, 330}, {420, 430}, {410, 560}, {500, 640}, {660, 620}, {690, 520}, {620, 400}, {540, 330}}, true));
        DemoDrawLabel(p, QPointF(280, 400), QPointF(120, 120), QStringLiteral("右肺野"), ink, 28);
        DemoDrawLabel(p, QPointF(740, 400), QPointF(880, 120), QStringLiteral("左肺野"), ink, 28);
        DemoDrawLabel(p, QPointF(600, 560), QPointF(880, 700), QStringLiteral("心影"), ink, 28);
        DemoDrawLabel(p, QPointF(220, 630), QPointF(120, 700), QStringLiteral("肋膈角"), ink, 28);
        break;
    case TClinicalKind::BoneFilm:
        p.drawRoundedRect(QRectF(100, 330, 380, 100), 40, 40);
        p.drawRoundedRect(QRectF(520, 300, 380, 100), 40, 40);
        DemoDrawLabel(p, QPointF(490, 370), QPointF(500, 650), QStringLiteral("骨折线"), ink, 28);
        DemoDrawLabel(p, QPointF(300, 380), QPointF(150, 150), QStringLiteral("近端"), ink, 28);
        DemoDrawLabel(p, QPointF(700, 350), QPointF(850, 150), QStringLiteral("远端"), ink, 28);
        break;
    case TClinicalKind::Fundus:
        p.drawEllipse(QPointF(500, 375), 340, 340);
        p.drawEllipse(QPointF(330, 360), 55, 60);
        p.drawEllipse(QPointF(560, 385), 60, 60);
        p.drawPath(DemoSmoothPath({{330, 360}, {420, 260}, {560, 220}, {760, 240}}, false));
        p.drawPath(DemoSmoothPath({{330, 360}, {420, 470}, {560, 520}, {760, 510}}, false));
        DemoDrawLabel(p, QPointF(330, 360), QPointF(60, 150), QStringLiteral("视盘"), ink, 28);
        DemoDrawLabel(p, QPointF(560, 385), QPointF(940, 380), QStringLiteral("黄斑"), ink, 28);
        DemoDrawLabel(p, QPointF(560, 220), QPointF(940, 150), QStringLiteral("颞上血管弓"), ink, 28);
        break;
    default: // ultrasound
        p.drawPath(DemoSmoothPath({{330, 330}, {480, 290}, {640, 330}, {700, 420}, {620, 500}, {450, 510}, {340, 460}}, true));
        p.drawArc(QRectF(515, 430, 90, 70), 20 * 16, 140 * 16);
        p.setPen(QPen(QColor(40, 40, 50), 2, Qt::DashLine));
        p.drawLine(QPointF(520, 470), QPointF(500, 740));
        p.drawLine(QPointF(600, 470), QPointF(640, 740));
        DemoDrawLabel(p, QPointF(420, 400), QPointF(120, 200), QStringLiteral("胆囊"), ink, 28);
        DemoDrawLabel(p, QPointF(560, 440), QPointF(880, 200), QStringLiteral("结石"), ink, 28);
        DemoDrawLabel(p, QPointF(570, 640), QPointF(880, 650), QStringLiteral("声影"), ink, 28);
        break;
    }
}

} // namespace

QString ClinicalViewName(const TDemoClinical &picture, int view)
{
    switch (view) {
    case 0:
        switch (picture.kind) {
        case TClinicalKind::Skin: return QStringLiteral("皮损照片");
        case TClinicalKind::ChestFilm:
        case TClinicalKind::BoneFilm: return QStringLiteral("X线片");
        case TClinicalKind::Ecg: return QStringLiteral("节律条图");
        case TClinicalKind::Fundus: return QStringLiteral("眼底彩照");
        case TClinicalKind::Ultrasound: return QStringLiteral("超声图像");
        }
        return {};
    case 1: return picture.kind == TClinicalKind::Skin ? QStringLiteral("皮肤镜") : QStringLiteral("局部放大");
    case 2: return QStringLiteral("病变标注");
    default:
        return picture.kind == TClinicalKind::Ecg    ? QStringLiteral("十二导联")
               : picture.kind == TClinicalKind::Skin ? QStringLiteral("好发部位")
                                                     : QStringLiteral("示意图");
    }
}

QImage DrawClinicalPicture(const TDemoClinical &picture, int view, QSize size)
{
    const TDemoPageStyle style{QColor(246, 246, 246), QColor(226, 228, 230), QColor(40, 44, 52),
                               QColor(196, 200, 210), QColor(140, 144, 150)};
    TDemoRandom rng = TDemoRandom::ForKey(QString::fromUtf8(picture.item), 0);
    const QString subtitle = DemoSubtitle(picture.type, ClinicalViewName(picture, view));
    return DemoPicture(size, style, QString::fromUtf8(picture.item), subtitle, kTag, [&](TDemoPage &page) {
        switch (view) {
        case 0: drawMain(page, picture, 0, rng); break;
        case 1: viewZoom(page, picture, rng); break;
        case 2: viewMarked(page, picture, rng); break;
        default: viewDiagram(page, picture, rng); break;
        }
    });
}
