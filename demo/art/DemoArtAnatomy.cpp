// Anatomy illustrations: the organ or bone in colour with its parts labelled, cut open, as a
// numbered line drawing, and where it lies in the body.
#include "demo/art/DemoArt.h"
#include "demo/art/DemoArtCanvas.h"
#include "demo/art/DemoArtFigure.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <QStringList>
#include <QtMath>

#include <cmath>

namespace {

const QString kTag = QStringLiteral("人体解剖图谱");
using S = TAnatomyShape;

enum class TMode { Colour, Section, Line };

QPainterPath smooth(std::initializer_list<QPointF> pts)
{
    return DemoSmoothPath(QVector<QPointF>(pts), true);
}

QPainterPath tube(const QVector<QPointF> &spine, double width)
{
    QPainterPathStroker s;
    s.setWidth(width);
    s.setCapStyle(Qt::RoundCap);
    s.setJoinStyle(Qt::RoundJoin);
    return s.createStroke(DemoSmoothPath(spine, false)).simplified();
}

QPainterPath boneShaft(QPointF top, QPointF bottom, double width)
{
    return tube({top, (top + bottom) / 2 + QPointF(6, 0), bottom}, width);
}

struct TPart {
    QPainterPath path;
    QColor colour;
};

// The pieces an organ is drawn from, in drawing order, for the given base colour.
QVector<TPart> partsOf(const TDemoAnatomy &o, TDemoRandom &rng)
{
    const QColor c(o.colour);
    QVector<TPart> parts;
    switch (o.shape) {
    case S::Heart:
        parts << TPart{tube({{360, 380}, {362, 260}, {370, 170}}, 70), QColor(70, 90, 170)}; // vena cava
        parts << TPart{tube({{470, 330}, {465, 200}, {540, 130}, {640, 170}, {660, 300}}, 80), QColor(200, 60, 60)};
        parts << TPart{tube({{545, 340}, {560, 240}, {470, 170}}, 70), QColor(80, 110, 190)};
        parts << TPart{smooth({{430, 300}, {560, 290}, {680, 360}, {720, 500}, {650, 680}, {530, 830}, {470, 800},
                               {360, 640}, {300, 480}, {330, 360}}),
                       c};
        break;
    case S::Lungs: {
        parts << TPart{tube({{500, 90}, {500, 300}}, 70), QColor(226, 214, 196)};
        parts << TPart{tube({{500, 290}, {440, 360}, {400, 400}}, 40), QColor(226, 214, 196)};
        parts << TPart{tube({{500, 290}, {560, 360}, {600, 400}}, 40), QColor(226, 214, 196)};
        parts << TPart{smooth({{440, 250}, {330, 330}, {260, 520}, {240, 760}, {330, 800}, {460, 760}, {470, 520}}), c};
        parts << TPart{smooth({{560, 250}, {670, 330}, {740, 520}, {760, 760}, {670, 800}, {560, 780}, {580, 640},
                               {530, 560}, {540, 420}}),
                       c};
        break;
    }
    case S::Bronchi: {
        parts << TPart{tube({{500, 60}, {500, 390}}, 80), c};
        std::function<void(QPointF, double, double, int)> branch = [&](QPointF from, double angle, double len, int depth) {
            const QPointF to = from + QPointF(std::sin(angle), std::cos(angle)) * len;
            parts << TPart{tube({from, (from + to) / 2, to}, 14.0 * depth), c.darker(100 + (5 - depth) * 6)};
            if (depth > 1) {
                branch(to, angle - rng.Range(0.35, 0.55), len * 0.72, depth - 1);
                branch(to, angle + rng.Range(0.35, 0.55), len * 0.72, depth - 1);
            }
        };
        branch(QPointF(500, 390), -0.9, 170, 5);
        branch(QPointF(500, 390), 0.9, 150, 5);
        break;
    }
    case S::Liver:
        parts << TPart{smooth({{170, 400}, {340, 300}, {600, 290}, {800, 320}, {850, 380}, {720, 470}, {530, 570},
                               {340, 630}, {200, 580}}),
                       c};
        parts << TPart{smooth({{350, 560}, {400, 570}, {420, 660}, {380, 700}, {340, 660}}), QColor(90, 150, 70)};
        break;
    case S::Stomach:
        parts << TPart{tube({{570, 90}, {565, 200}, {560, 280}}, 50), c.darker(108)};
        parts << TPart{smooth({{560, 260}, {650, 230}, {740, 300}, {760, 430}, {710, 570}, {600, 690}, {460, 730},
                               {330, 700}, {280, 650}, {320, 620}, {470, 620}, {560, 560}, {590, 460}, {560, 360},
                               {520, 300}}),
                       c};
        parts << TPart{tube({{300, 655}, {230, 640}, {200, 700}}, 46), c.darker(104)};
        break;
    case S::Pancreas:
        parts << TPart{tube({{380, 300}, {250, 330}, {220, 520}, {280, 680}, {420, 690}}, 70), QColor(220, 160, 130)};
        parts << TPart{smooth({{280, 420}, {380, 430}, {520, 420}, {700, 350}, {790, 370}, {760, 430}, {560, 500},
                               {400, 560}, {300, 600}, {260, 520}}),
                       c};
        break;
    case S::SmallIntestine: {
        QVector<QPointF> path{{300, 200}};
        for (int row = 0; row < 6; ++row) {
            const double y = 260 + row * 90;
            const bool right = row % 2 == 0;
            path << QPointF(right ? 720 : 280, y) << QPointF(right ? 740 : 260, y + 45);
        }
        path << QPointF(620, 830);
        parts << TPart{tube(path, 58), c};
        break;
    }
    case S::Colon: {
        const QVector<QPointF> frame{{330, 760}, {290, 560}, {300, 300}, {500, 270}, {700, 300}, {720, 560},
                                     {700, 700}, {560, 780}, {510, 860}, {505, 940}};
        parts << TPart{tube(frame, 110), c};
        parts << TPart{smooth({{290, 720}, {370, 720}, {380, 810}, {300, 830}}), c.darker(108)};
        break;
    }
    case S::Spleen:
        parts << TPart{smooth({{380, 300}, {560, 250}, {690, 350}, {710, 520}, {620, 690}, {470, 730}, {380, 650},
                               {440, 520}, {360, 420}}),
                       c};
        break;
    case S::Kidney:
        parts << TPart{tube({{420, 490}, {370, 600}, {390, 900}}, 30), QColor(236, 214, 170)};
        parts << TPart{smooth({{500, 200}, {630, 240}, {700, 420}, {670, 630}, {560, 780}, {440, 760}, {390, 630},
                               {450, 520}, {450, 440}, {390, 360}, {420, 250}}),
                       c};
        break;
    case S::Bladder:
        parts << TPart{tube({{250, 150}, {320, 350}, {400, 520}}, 26), QColor(236, 214, 170)};
        parts << TPart{tube({{750, 150}, {680, 350}, {600, 520}}, 26), QColor(236, 214, 170)};
        parts << TPart{tube({{500, 690}, {500, 880}}, 40), c.darker(110)};
        parts << TPart{smooth({{500, 310}, {650, 360}, {710, 520}, {640, 690}, {500, 730}, {360, 690}, {290, 520},
                               {350, 360}}),
                       c};
        break;
    case S::Brain:
        parts << TPart{tube({{570, 600}, {555, 720}, {540, 830}}, 90), c.darker(112)};
        parts << TPart{smooth({{620, 600}, {760, 580}, {830, 640}, {790, 720}, {660, 720}, {600, 660}}), c.darker(118)};
        parts << TPart{smooth({{240, 500}, {270, 330}, {420, 210}, {610, 200}, {770, 280}, {840, 430}, {820, 560},
                               {700, 600}, {560, 620}, {420, 650}, {300, 610}}),
                       c};
        break;
    case S::Eye:
        parts << TPart{tube({{760, 500}, {860, 510}, {960, 530}}, 90), QColor(236, 220, 160)};
        parts << TPart{smooth({{500, 230}, {700, 290}, {780, 500}, {700, 710}, {500, 770}, {330, 720}, {250, 600},
                               {230, 500}, {250, 400}, {330, 280}}),
                       c};
        break;
    case S::Thyroid:
        parts << TPart{tube({{500, 120}, {500, 900}}, 150), QColor(226, 214, 196)};
        parts << TPart{smooth({{500, 560}, {420, 600}, {340, 660}, {290, 560}, {300, 380}, {350, 300}, {410, 360},
                               {430, 480}}),
                       c};
        parts << TPart{smooth({{500, 560}, {580, 600}, {660, 660}, {710, 560}, {700, 380}, {650, 300}, {590, 360},
                               {570, 480}}),
                       c};
        parts << TPart{tube({{430, 540}, {570, 540}}, 70), c};
        break;
    case S::Skull:
        parts << TPart{smooth({{290, 660}, {310, 740}, {440, 800}, {560, 770}, {600, 690}, {540, 690}, {450, 720},
                               {370, 680}}),
                       c.darker(104)};
        parts << TPart{smooth({{280, 520}, {250, 380}, {330, 230}, {480, 170}, {650, 190}, {770, 290}, {800, 430},
                               {770, 560}, {680, 600}, {580, 640}, {470, 680}, {340, 660}}),
                       c};
        break;
    case S::Spine: {
        QPainterPath column;
        for (int i = 0; i < 24; ++i) {
            const double t = i / 24.0;
            const double y = 70 + t * 680;
            const double x = 500 + 40 * std::sin(t * 2 * M_PI * 1.05 + 0.4);
            const double h = 18 + t * 14;
            QPainterPath v;
            v.addRoundedRect(QRectF(x - 32 - t * 18, y, 64 + t * 36, h), 8, 8);
            column.addPath(v);
        }
        parts << TPart{column, c};
        parts << TPart{smooth({{450, 770}, {560, 760}, {540, 880}, {500, 900}}), c.darker(106)};
        parts << TPart{tube({{505, 905}, {498, 950}}, 20), c.darker(110)};
        break;
    }
    case S::Ribcage: {
        QPainterPath ribs;
        for (int i = 0; i < 10; ++i) {
            const double y = 240 + i * 48;
            const double w = 200 + std::sin((i + 1) / 11.0 * M_PI) * 150;
            for (int side = -1; side <= 1; side += 2)
                ribs.addPath(tube({{500.0 + side * 60, y}, {500 + side * w, y + 40}, {500 + side * (w - 40), y + 130},
                                   {500 + side * 80.0, y + 110}},
                                  18));
        }
        parts << TPart{tube({{500, 170}, {500, 860}}, 50), c.darker(110)}; // spine behind
        parts << TPart{ribs.simplified(), c};
        parts << TPart{tube({{500, 230}, {500, 560}}, 60), c.lighter(104)}; // sternum
        parts << TPart{tube({{470, 200}, {330, 180}, {230, 210}}, 30), c};
        parts << TPart{tube({{530, 200}, {670, 180}, {770, 210}}, 30), c};
        break;
    }
    case S::Pelvis: {
        QPainterPath pelvis = smooth({{500, 380}, {380, 260}, {220, 250}, {170, 380}, {260, 520}, {330, 640}, {300, 760},
                                      {420, 800}, {480, 740}, {520, 740}, {580, 800}, {700, 760}, {670, 640}, {740, 520},
                                      {830, 380}, {780, 250}, {620, 260}});
        QPainterPath holes;
        holes.addEllipse(QPointF(390, 700), 45, 60);
        holes.addEllipse(QPointF(610, 700), 45, 60);
        parts << TPart{pelvis.subtracted(holes), c};
        parts << TPart{smooth({{440, 320}, {560, 320}, {550, 500}, {500, 560}, {450, 500}}), c.darker(108)};
        break;
    }
    case S::Femur: {
        QPainterPath bone = boneShaft({420, 300}, {520, 800}, 80);
        bone.addEllipse(QPointF(330, 200), 70, 70);
        bone = bone.united(tube({{340, 210}, {430, 290}}, 70));
        bone = bone.united(smooth({{430, 200}, {500, 190}, {520, 280}, {460, 330}}));
        bone = bone.united(smooth({{440, 790}, {600, 790}, {620, 880}, {540, 900}, {520, 860}, {480, 900}, {410, 880}}));
        parts << TPart{bone.simplified(), c};
        break;
    }
    case S::Humerus: {
        QPainterPath bone = boneShaft({480, 240}, {500, 780}, 64);
        bone.addEllipse(QPointF(440, 190), 85, 80);
        bone = bone.united(smooth({{520, 150}, {580, 170}, {570, 260}, {520, 270}}));
        bone = bone.united(smooth({{400, 760}, {600, 760}, {630, 820}, {560, 870}, {500, 850}, {440, 870}, {370, 820}}));
        parts << TPart{bone.simplified(), c};
        break;
    }
    case S::Hand: {
        QPainterPath bones;
        for (int i = 0; i < 8; ++i)
            bones.addEllipse(QPointF(420 + (i % 4) * 55, 760 + (i / 4) * 55), 30, 26);
        // metacarpal bases along the carpus, fanning out; the thumb stands apart
        const double baseX[] = {400, 445, 490, 535, 578};
        const double baseY[] = {760, 720, 712, 718, 730};
        const double angle[] = {-42, -11, -2, 8, 19};
        const double lens[] = {0.72, 1.0, 1.08, 1.0, 0.82};
        for (int f = 0; f < 5; ++f) {
            QPointF at(baseX[f], baseY[f]);
            const double a = qDegreesToRadians(angle[f]);
            const QPointF tipDir(std::sin(a), -std::cos(a));
            const int segs = f == 0 ? 3 : 4;
            for (int s = 0; s < segs; ++s) {
                const double len = (s == 0 ? 160 : 100 - s * 14) * lens[f];
                const QPointF next = at + tipDir * len;
                bones.addPath(tube({at + tipDir * 8, next - tipDir * 8}, s == 0 ? 34 : 30 - s * 3));
                at = next;
            }
        }
        parts << TPart{bones.simplified(), c};
        break;
    }
    }
    return parts;
}

QVector<QPointF> anchorsOf(S shape)
{
    switch (shape) {
    case S::Heart: return {{600, 140}, {520, 220}, {620, 560}, {470, 620}, {350, 420}};
    case S::Lungs: return {{500, 160}, {640, 420}, {680, 690}, {330, 560}, {320, 720}};
    case S::Bronchi: return {{500, 200}, {500, 390}, {600, 460}, {400, 450}};
    case S::Liver: return {{330, 440}, {700, 390}, {555, 330}, {385, 640}};
    case S::Stomach: return {{560, 280}, {680, 290}, {690, 460}, {320, 660}, {560, 500}, {600, 700}};
    case S::Pancreas: return {{300, 520}, {520, 470}, {750, 380}, {240, 620}};
    case S::SmallIntestine: return {{300, 210}, {700, 300}, {280, 710}};
    case S::Colon: return {{330, 780}, {290, 480}, {500, 270}, {720, 460}, {620, 760}, {505, 920}};
    case S::Spleen: return {{430, 500}, {650, 420}, {480, 680}};
    case S::Kidney: return {{650, 400}, {580, 520}, {470, 490}, {385, 800}};
    case S::Bladder: return {{500, 320}, {640, 520}, {500, 710}, {300, 300}};
    case S::Brain: return {{330, 400}, {600, 260}, {470, 560}, {780, 430}, {730, 670}, {550, 780}};
    case S::Eye: return {{245, 500}, {300, 410}, {330, 500}, {540, 540}, {720, 330}, {880, 515}};
    case S::Thyroid: return {{330, 500}, {670, 500}, {500, 540}, {500, 820}};
    case S::Skull: return {{380, 240}, {620, 230}, {640, 470}, {360, 590}, {450, 760}};
    case S::Spine: return {{520, 140}, {460, 380}, {540, 650}, {500, 820}, {500, 930}};
    case S::Ribcage: return {{500, 400}, {250, 420}, {420, 580}, {300, 190}};
    case S::Pelvis: return {{260, 360}, {500, 420}, {500, 750}, {330, 560}, {390, 700}};
    case S::Femur: return {{330, 200}, {390, 260}, {470, 230}, {470, 540}, {440, 860}, {590, 850}};
    case S::Humerus: return {{440, 190}, {550, 200}, {490, 500}, {390, 800}, {610, 800}};
    case S::Hand: return {{480, 790}, {430, 640}, {484, 500}, {482, 405}, {480, 335}};
    }
    return {};
}

// Where the organ lies on the standing figure (400 x 1000 units).
QRectF placeInBody(S shape)
{
    switch (shape) {
    case S::Heart: return {180, 220, 70, 80};
    case S::Lungs: return {140, 160, 120, 150};
    case S::Bronchi: return {160, 140, 80, 120};
    case S::Liver: return {140, 270, 110, 90};
    case S::Stomach: return {190, 280, 80, 100};
    case S::Pancreas: return {160, 320, 90, 70};
    case S::SmallIntestine: return {150, 350, 100, 130};
    case S::Colon: return {140, 330, 120, 170};
    case S::Spleen: return {240, 290, 40, 60};
    case S::Kidney: return {230, 340, 40, 80};
    case S::Bladder: return {175, 470, 50, 60};
    case S::Brain: return {150, 10, 100, 110};
    case S::Eye: return {200, 55, 26, 26};
    case S::Thyroid: return {185, 120, 30, 50};
    case S::Skull: return {140, 0, 120, 140};
    case S::Spine: return {160, 110, 80, 460};
    case S::Ribcage: return {130, 150, 140, 230};
    case S::Pelvis: return {130, 430, 140, 140};
    case S::Femur: return {200, 480, 80, 280};
    case S::Humerus: return {250, 160, 90, 240};
    case S::Hand: return {280, 500, 90, 150};
    }
    return {};
}

void sectionDetails(QPainter &p, const TDemoAnatomy &o, const QPainterPath &body, TDemoRandom &rng)
{
    const QColor c(o.colour);
    p.save();
    p.setClipPath(body);
    const QRectF b = body.boundingRect();
    // the cut face is paler than the surface
    p.setPen(Qt::NoPen);
    p.setBrush(DemoMix(c, QColor(255, 240, 232), 0.35));
    p.drawPath(body.translated(0, 0));
    switch (o.shape) {
    case S::Heart:
        p.setBrush(QColor(120, 20, 24));
        p.drawEllipse(QPointF(600, 560), 70, 150);
        p.drawEllipse(QPointF(450, 580), 60, 120);
        p.drawEllipse(QPointF(400, 420), 60, 70);
        p.drawEllipse(QPointF(560, 380), 60, 60);
        break;
    case S::Kidney:
        p.setBrush(DemoMix(c, QColor(120, 30, 30), 0.4));
        for (int i = 0; i < 6; ++i) {
            const double a = qDegreesToRadians(-70.0 + i * 28);
            const QPointF base = QPointF(470, 500) + QPointF(std::cos(a), std::sin(a)) * 170;
            QPolygonF tri{base + QPointF(std::sin(a), -std::cos(a)) * 40, base - QPointF(std::sin(a), -std::cos(a)) * 40,
                          QPointF(470, 500) + QPointF(std::cos(a), std::sin(a)) * 60};
            p.drawPolygon(tri);
        }
        p.setBrush(QColor(240, 220, 180));
        p.drawEllipse(QPointF(455, 500), 60, 90);
        break;
    case S::Femur:
    case S::Humerus:
        p.setBrush(QColor(240, 200, 90));
        p.drawRoundedRect(QRectF(b.center().x() - 22, b.top() + b.height() * 0.3, 44, b.height() * 0.45), 20, 20);
        p.setBrush(QColor(210, 180, 150));
        for (int i = 0; i < 160; ++i) {
            const bool topEnd = i % 2;
            const QPointF d(rng.Range(b.left(), b.right()),
                            topEnd ? rng.Range(b.top(), b.top() + b.height() * 0.25) : rng.Range(b.bottom() - b.height() * 0.2, b.bottom()));
            p.drawEllipse(d, 6, 6);
        }
        break;
    case S::Eye:
        ArtDrawEllipse(p, QPointF(505, 500), 250, 250, QColor(250, 250, 246, 0), QPen(QColor(190, 60, 60), 10));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(230, 236, 244));
        p.drawEllipse(QPointF(510, 500), 235, 235);
        break;
    default: {
        // folds, lobules or gyri: soft wavy lines across the cut face
        p.setPen(QPen(c.darker(135), 4, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        for (int i = 0; i < 12; ++i) {
            QVector<QPointF> pts;
            double y = b.top() + (i + 0.5) * b.height() / 12;
            for (double x = b.left(); x <= b.right(); x += b.width() / 8)
                pts << QPointF(x, y + rng.Range(-18, 18));
            p.drawPath(DemoSmoothPath(pts, false));
        }
        break;
    }
    }
    p.restore();
}

void drawOrgan(QPainter &p, const TDemoAnatomy &o, TMode mode, TDemoRandom &rng, double lineWidth = 4)
{
    const QVector<TPart> parts = partsOf(o, rng);
    for (int i = 0; i < parts.size(); ++i) {
        const TPart &part = parts[i];
        if (mode == TMode::Line) {
            p.setBrush(QColor(255, 255, 255));
            p.setPen(QPen(QColor(30, 30, 30), lineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        } else {
            const QRectF b = part.path.boundingRect();
            const QRadialGradient g = ArtRadialGradient(b.center() - QPointF(b.width() * 0.2, b.height() * 0.25), std::max(b.width(), b.height()) * 0.75,
                    {{0, part.colour.lighter(128)}, {0.6, part.colour}, {1, part.colour.darker(135)}});
            p.setBrush(g);
            p.setPen(QPen(part.colour.darker(170), lineWidth * 0.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        }
        p.drawPath(part.path);
        if (mode == TMode::Section && i == parts.size() - 1 && o.shape != S::Spine && o.shape != S::Ribcage &&
            o.shape != S::Hand && o.shape != S::SmallIntestine && o.shape != S::Bronchi)
            sectionDetails(p, o, part.path, rng);
    }
    if (mode == TMode::Colour && o.shape == S::Heart) {
        // coronary vessels on the surface
        p.setPen(QPen(QColor(200, 40, 40), 7, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawPath(DemoSmoothPath({{520, 320}, {500, 450}, {540, 600}, {560, 760}}, false));
        p.setPen(QPen(QColor(70, 90, 170), 6, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(DemoSmoothPath({{560, 330}, {620, 420}, {660, 560}}, false));
    }
    if (mode != TMode::Line && o.shape == S::Brain) {
        p.save();
        p.setClipPath(parts.last().path);
        p.setPen(QPen(QColor(o.colour).darker(150), 5, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        for (int i = 0; i < 26; ++i) {
            QPointF at(rng.Range(260, 820), rng.Range(220, 620));
            QVector<QPointF> pts{at};
            double a = rng.Range(0, 2 * M_PI);
            for (int k = 0; k < 5; ++k) {
                a += rng.Range(-1.2, 1.2);
                at += QPointF(std::cos(a), std::sin(a)) * 45;
                pts << at;
            }
            p.drawPath(DemoSmoothPath(pts, false));
        }
        p.setPen(QPen(QColor(o.colour).darker(190), 9, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(DemoSmoothPath({{330, 560}, {470, 450}, {640, 430}}, false)); // lateral sulcus
        p.drawPath(DemoSmoothPath({{560, 210}, {520, 330}, {500, 450}}, false)); // central sulcus
        p.restore();
    }
    if (o.shape == S::Skull) {
        // orbit, nasal opening, teeth, cheek bone and sutures
        const QColor ink = mode == TMode::Line ? QColor(30, 30, 30) : QColor(o.colour).darker(190);
        p.setPen(QPen(ink, lineWidth, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(mode == TMode::Line ? QColor(255, 255, 255) : QColor(60, 46, 36));
        p.drawPath(smooth({{300, 400}, {360, 380}, {400, 430}, {380, 500}, {320, 500}, {290, 450}}));
        p.drawPath(smooth({{270, 540}, {300, 530}, {310, 590}, {280, 600}}));
        p.setBrush(mode == TMode::Line ? QColor(255, 255, 255) : QColor(248, 244, 230));
        for (int i = 0; i < 6; ++i) {
            p.drawRoundedRect(QRectF(300 + i * 30, 640, 26, 40), 8, 8);
            p.drawRoundedRect(QRectF(310 + i * 30, 690, 26, 36), 8, 8);
        }
        p.setBrush(Qt::NoBrush);
        p.drawPath(DemoSmoothPath({{400, 520}, {480, 540}, {560, 520}}, false));          // zygomatic arch
        p.drawPath(DemoSmoothPath({{470, 180}, {500, 300}, {520, 420}, {560, 500}}, false)); // coronal suture
        p.drawPath(DemoSmoothPath({{560, 500}, {650, 480}, {760, 500}}, false));          // squamous suture
        p.drawEllipse(QPointF(640, 560), 22, 22);                                          // ear canal
    }
    if (o.shape == S::Eye && mode != TMode::Line) {
        p.setPen(QPen(QColor(90, 130, 200, 120), 3));
        p.setBrush(QColor(200, 226, 250, 120));
        p.drawChord(QRectF(200, 380, 120, 240), 90 * 16, 180 * 16); // cornea
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(80, 120, 90));
        p.drawRect(QRectF(285, 380, 22, 85));
        p.drawRect(QRectF(285, 535, 22, 85));
        p.setBrush(QColor(236, 232, 200, 230));
        p.drawEllipse(QPointF(330, 500), 38, 80); // lens
    }
}

QStringList partNames(const TDemoAnatomy &o)
{
    return QString::fromUtf8(o.parts).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

void labelParts(QPainter &p, const TDemoAnatomy &o, bool numbered, double size)
{
    const QStringList names = partNames(o);
    const QVector<QPointF> anchors = anchorsOf(o.shape);
    for (int i = 0; i < names.size() && i < anchors.size(); ++i) {
        const QPointF a = anchors[i];
        const bool left = a.x() < 500;
        const double tx = left ? 90 : 910;
        const double ty = std::clamp(a.y() + (i % 2 ? 20 : -20), 60.0, 950.0);
        DemoDrawLabel(p, a, QPointF(tx, ty), numbered ? QString::number(i + 1) : names[i], QColor(40, 40, 50), size);
    }
}

void viewColour(TDemoPage &page, const TDemoAnatomy &o, TDemoRandom &rng)
{
    QPainter &p = page.Painter();
    page.FitDesign(QSizeF(1000, 1000));
    drawOrgan(p, o, TMode::Colour, rng);
    labelParts(p, o, false, 30);
}

void viewSection(TDemoPage &page, const TDemoAnatomy &o, TDemoRandom &rng)
{
    QPainter &p = page.Painter();
    page.FillArtRadial({{0, QColor(70, 82, 100)}, {1, QColor(30, 36, 48)}});
    page.FitDesign(QSizeF(1000, 1000));
    drawOrgan(p, o, TMode::Section, rng);
    const QStringList names = partNames(o);
    p.setFont(DemoSans(30, true));
    p.setPen(QColor(230, 236, 244));
    p.drawText(QRectF(20, 10, 600, 50), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("%1 剖面").arg(QString::fromUtf8(o.item)));
    p.setFont(DemoSans(24));
    p.setPen(QColor(190, 200, 214));
    p.drawText(QRectF(20, 56, 960, 40), Qt::AlignLeft | Qt::AlignVCenter, names.join(QStringLiteral(" · ")));
}

void viewLine(TDemoPage &page, const TDemoAnatomy &o, TDemoRandom &rng)
{
    QPainter &p = page.Painter();
    p.fillRect(page.ArtRect(), Qt::white);
    page.FitDesign(QSizeF(1400, 1000));
    p.save();
    p.translate(-40, 0);
    drawOrgan(p, o, TMode::Line, rng, 3);
    labelParts(p, o, true, 30);
    p.restore();
    // legend
    const QStringList names = partNames(o);
    p.setPen(QColor(30, 30, 30));
    for (int i = 0; i < names.size(); ++i) {
        p.setFont(DemoSans(30, true));
        p.drawText(QRectF(1010, 180 + i * 70, 60, 60), Qt::AlignCenter, QString::number(i + 1));
        p.setFont(DemoSerif(30));
        p.drawText(QRectF(1070, 180 + i * 70, 330, 60), Qt::AlignLeft | Qt::AlignVCenter, names[i]);
    }
    p.setPen(QPen(QColor(30, 30, 30), 2));
    p.drawLine(QPointF(1010, 160), QPointF(1360, 160));
    p.setFont(DemoSerif(34, true));
    p.drawText(QRectF(1010, 90, 390, 60), Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf8(o.item));
}

void viewInBody(TDemoPage &page, const TDemoAnatomy &o, TDemoRandom &rng)
{
    QPainter &p = page.Painter();
    p.fillRect(page.ArtRect(), QColor(236, 242, 246));
    const QRectF place = placeInBody(o.shape);
    const double zoom = std::clamp(420.0 / std::max(place.height(), place.width() * 2.0), 1.1, 3.2);
    page.ZoomDesign(QSizeF(400, 1000), place.center(), zoom);
    const QPainterPath body = DemoBodyOutline();
    p.setPen(QPen(QColor(120, 140, 170), 2));
    p.setBrush(QColor(210, 222, 236));
    p.drawPath(body);
    p.save();
    p.translate(place.topLeft());
    p.scale(place.width() / 1000.0, place.height() / 1000.0);
    if (o.shape == S::Hand) { // the hand hangs at the side, fingers down
        p.translate(0, 1000);
        p.scale(1, -1);
    }
    p.setOpacity(0.92);
    drawOrgan(p, o, TMode::Colour, rng, 10);
    p.restore();
    p.setPen(QPen(QColor(200, 60, 60), 1.5, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(place.adjusted(-6, -6, 6, 6));
}

} // namespace

QString AnatomyViewName(int view)
{
    switch (view) {
    case 0: return QStringLiteral("彩色图");
    case 1: return QStringLiteral("剖面观");
    case 2: return QStringLiteral("线条图");
    default: return QStringLiteral("体表投影");
    }
}

QImage DrawAnatomyPicture(const TDemoAnatomy &organ, int view, QSize size)
{
    const TDemoPageStyle style{QColor(252, 252, 252), QColor(234, 238, 242), QColor(36, 72, 90),
                               QColor(186, 214, 226), QColor(150, 160, 170)};
    TDemoRandom rng = TDemoRandom::ForKey(QString::fromUtf8(organ.item), view);
    const QString subtitle = DemoSubtitle(organ.type, AnatomyViewName(view));
    return DemoPicture(size, style, QString::fromUtf8(organ.item), subtitle, kTag, [&](TDemoPage &page) {
        switch (view) {
        case 0: viewColour(page, organ, rng); break;
        case 1: viewSection(page, organ, rng); break;
        case 2: viewLine(page, organ, rng); break;
        default: viewInBody(page, organ, rng); break;
        }
    });
}
