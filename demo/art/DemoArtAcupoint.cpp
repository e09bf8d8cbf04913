// Acupuncture illustrations: the point on its meridian over the whole figure, the point located
// close up, how the needle goes in, and the point on an old-style woodblock chart.
#include "demo/art/DemoArt.h"
#include "demo/art/DemoArtCanvas.h"
#include "demo/art/DemoArtFigure.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <QtMath>

#include <cmath>

namespace {

const QString kTag = QStringLiteral("针灸经穴图谱");
const QSizeF kFigure(400, 1000);

struct TFigureStyle {
    QColor skin, skinShade, outline, detail;
    double outlineWidth;
    bool woodblock = false;
};

void drawFigure(QPainter &p, TBodyView view, const TFigureStyle &st)
{
    const QPainterPath body = DemoBodyOutline();
    if (st.woodblock) {
        p.setBrush(st.skin);
    } else {
        const QLinearGradient g = ArtLinearGradient(QPointF(100, 0), QPointF(300, 0),
                                                    {{0, st.skinShade}, {0.5, st.skin}, {1, st.skinShade}});
        p.setBrush(g);
    }
    p.setPen(QPen(st.outline, st.outlineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(body);

    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(st.detail, st.outlineWidth * 0.7, Qt::SolidLine, Qt::RoundCap));
    // knees, ankles and the line between the legs are on both views
    for (int side = -1; side <= 1; side += 2) {
        const double kx = 200 + side * 30;
        p.drawArc(QRectF(kx - 16, 728, 32, 30), (view == TBodyView::Front ? 200 : 20) * 16, 140 * 16);
    }
    if (view == TBodyView::Front) {
        // face
        for (int side = -1; side <= 1; side += 2) {
            p.drawArc(QRectF(200 + side * 16 - 9, 62, 18, 10), 20 * 16, 140 * 16); // upper lid
            p.drawLine(QPointF(200 + side * 8, 54), QPointF(200 + side * 28, 52));   // brow
        }
        p.drawLine(QPointF(200, 70), QPointF(196, 92));
        p.drawLine(QPointF(196, 92), QPointF(204, 94));
        p.drawArc(QRectF(188, 102, 24, 10), 200 * 16, 140 * 16);
        // clavicles, chest, navel
        p.drawPath(DemoSmoothPath({{168, 170}, {190, 176}, {200, 172}, {210, 176}, {232, 170}}, false));
        p.drawArc(QRectF(160, 250, 36, 22), 200 * 16, 140 * 16);
        p.drawArc(QRectF(204, 250, 36, 22), 200 * 16, 140 * 16);
        p.drawEllipse(QPointF(200, 396), 3, 4);
        p.drawPath(DemoSmoothPath({{150, 480}, {178, 520}, {200, 540}}, false));
        p.drawPath(DemoSmoothPath({{250, 480}, {222, 520}, {200, 540}}, false));
    } else {
        // hair, spine, shoulder blades, buttocks
        QPainterPath hair;
        hair.addEllipse(QPointF(200, 66), 44, 52);
        p.save();
        p.setPen(Qt::NoPen);
        p.setBrush(st.woodblock ? st.detail : QColor(70, 56, 48));
        p.drawPath(hair.intersected(DemoBodyOutline()));
        p.restore();
        p.drawLine(QPointF(200, 150), QPointF(200, 540));
        for (int side = -1; side <= 1; side += 2) {
            p.drawPath(DemoSmoothPath({{200 + side * 22.0, 200}, {200 + side * 52.0, 196}, {200 + side * 46.0, 282},
                                       {200 + side * 24.0, 260}},
                                      false));
            p.drawArc(QRectF(200 + (side < 0 ? -58 : 0), 480, 58, 80), (side < 0 ? 180 : 270) * 16, 90 * 16);
        }
    }
}

QVector<const TDemoAcupoint *> meridianPoints(const QString &meridian, TBodyView view)
{
    QVector<const TDemoAcupoint *> out;
    for (const TDemoAcupoint &a : DemoAcupoints())
        if (QString::fromUtf8(a.meridian) == meridian && a.view == view)
            out << &a;
    return out;
}

void drawMeridian(QPainter &p, const TDemoAcupoint &pt, const QColor &col, double width, bool dashed)
{
    const auto pts = meridianPoints(QString::fromUtf8(pt.meridian), pt.view);
    QVector<QPointF> line;
    for (const TDemoAcupoint *a : pts)
        line << QPointF(a->x, a->y);
    QPen pen(col, width, dashed ? Qt::DashLine : Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    if (line.size() > 1)
        p.drawPath(DemoSmoothPath(line, false));
}

void drawPointMarker(QPainter &p, QPointF at, double r, const QColor &col)
{
    const QRadialGradient glow = ArtGlowGradient(at, r * 3, QColor(col.red(), col.green(), col.blue(), 120));
    ArtDrawEllipse(p, at, r * 3, r * 3, glow, Qt::NoPen);
    ArtDrawEllipse(p, at, r, r, col, QPen(Qt::white, r * 0.35));
}

TFigureStyle chartStyle()
{
    return {QColor(250, 226, 204), QColor(228, 190, 160), QColor(150, 104, 80), QColor(190, 144, 118), 2.2};
}

void viewChart(TDemoPage &page, const TDemoAcupoint &pt)
{
    QPainter &p = page.Painter();
    page.FitDesign(QSizeF(640, 1040));
    p.translate(120, 20);
    drawFigure(p, pt.view, chartStyle());
    const QColor col(MeridianColour(QString::fromUtf8(pt.meridian)));
    drawMeridian(p, pt, col, 3.2, false);
    const auto others = meridianPoints(QString::fromUtf8(pt.meridian), pt.view);
    for (const TDemoAcupoint *a : others) {
        p.setPen(QPen(Qt::white, 1));
        p.setBrush(col);
        p.drawEllipse(QPointF(a->x, a->y), 4.5, 4.5);
    }
    const QPointF at(pt.x, pt.y);
    drawPointMarker(p, at, 7, QColor(214, 32, 32));
    const bool leftLabel = pt.x < 200 || (pt.x == 200 && pt.y < 300);
    DemoDrawLabel(p, at, QPointF(leftLabel ? -40 : 460, std::clamp(pt.y - 40, 40.0, 960.0)),
                  QString::fromUtf8(pt.name), QColor(120, 20, 20), 30);
    p.setFont(DemoSans(30, true));
    p.setPen(col.darker(120));
    p.drawText(QRectF(-110, 0, 300, 44), Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf8(pt.meridian));
    p.setPen(QColor(120, 110, 100));
    p.setFont(DemoSans(24));
    p.drawText(QRectF(-110, 44, 300, 34), Qt::AlignLeft | Qt::AlignVCenter,
               pt.view == TBodyView::Front ? QStringLiteral("正面") : QStringLiteral("背面"));
}

void viewCloseUp(TDemoPage &page, const TDemoAcupoint &pt)
{
    QPainter &p = page.Painter();
    const QRectF art = page.ArtRect();
    page.FillArt(QColor(238, 242, 246));
    const bool face = pt.y < 130;
    const QPointF at(pt.x, pt.y);
    page.ZoomDesign(kFigure, at, face ? 6.5 : 3.4);
    TFigureStyle st = chartStyle();
    st.outlineWidth = face ? 0.7 : 1.2;
    drawFigure(p, pt.view, st);
    const QColor col(MeridianColour(QString::fromUtf8(pt.meridian)));
    drawMeridian(p, pt, col, face ? 1.0 : 1.8, true);
    const double unit = face ? 0.55 : 1.0;
    for (const TDemoAcupoint &a : DemoAcupoints()) {
        if (a.view != pt.view || &a == &pt)
            continue;
        const QPointF q(a.x, a.y);
        if (std::hypot(q.x() - at.x(), q.y() - at.y()) > (face ? 40 : 90))
            continue;
        p.setPen(QPen(Qt::white, 0.6 * unit));
        p.setBrush(QColor(MeridianColour(QString::fromUtf8(a.meridian))));
        p.drawEllipse(q, 2.6 * unit, 2.6 * unit);
        DemoDrawCentredText(p, q + QPointF(0, -8 * unit), QString::fromUtf8(a.name), DemoSans(7 * unit),
                            QColor(60, 60, 70), QColor(255, 255, 255, 200));
    }
    // crosshair through the point
    p.setPen(QPen(QColor(214, 32, 32, 160), 0.6 * unit, Qt::DashLine));
    p.drawLine(at + QPointF(-30 * unit, 0), at + QPointF(30 * unit, 0));
    p.drawLine(at + QPointF(0, -30 * unit), at + QPointF(0, 30 * unit));
    drawPointMarker(p, at, 4 * unit, QColor(214, 32, 32));
    DemoDrawCentredText(p, at + QPointF(0, 14 * unit), QString::fromUtf8(pt.name), DemoSerif(12 * unit, true),
                        QColor(150, 20, 20), QColor(255, 255, 255, 230));
    page.ResetTransform();
    p.setClipping(false);
    p.setFont(DemoSans(page.Unit() * 0.035));
    p.setPen(col.darker(130));
    p.drawText(art.adjusted(page.Unit() * 0.03, page.Unit() * 0.02, 0, 0), Qt::AlignLeft | Qt::AlignTop,
               QString::fromUtf8(pt.meridian));
}

void viewNeedling(TDemoPage &page, const TDemoAcupoint &pt)
{
    QPainter &p = page.Painter();
    page.FitDesign(QSizeF(1000, 720));
    const TNeedling how = NeedlingAt(pt.view, pt.x, pt.y);
    // tissue layers, top to bottom
    struct Layer {
        const char *name;
        double depth;
        QColor colour;
    };
    const bool thin = how == TNeedling::Transverse;
    const Layer layers[] = {
        {"表皮", 30, QColor(240, 200, 180)},
        {"真皮", thin ? 60.0 : 70.0, QColor(232, 170, 160)},
        {"皮下组织", thin ? 90.0 : 150.0, QColor(248, 226, 150)},
        {thin ? "骨膜与颅骨" : "肌肉", thin ? 240.0 : 300.0, thin ? QColor(236, 232, 218) : QColor(196, 80, 78)},
    };
    double y = 160;
    const QRectF block(60, 160, 640, 0);
    for (const Layer &l : layers) {
        const QRectF r(block.left(), y, block.width(), l.depth);
        const QLinearGradient g = ArtLinearGradient(r.topLeft(), r.bottomLeft(),
                                                    {{0, l.colour.lighter(106)}, {1, l.colour.darker(108)}});
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawRect(r);
        if (QString::fromUtf8(l.name) == QStringLiteral("肌肉")) {
            p.setPen(QPen(l.colour.darker(130), 2));
            for (double yy = r.top() + 18; yy < r.bottom(); yy += 22)
                p.drawLine(QPointF(r.left(), yy), QPointF(r.right(), yy + 6));
        }
        DemoDrawLabel(p, QPointF(r.right() - 20, r.center().y()), QPointF(760, r.center().y()), QString::fromUtf8(l.name),
                      QColor(70, 50, 40), 24);
        y += l.depth;
    }
    // the needle
    const double angle = how == TNeedling::Perpendicular ? 90 : (how == TNeedling::Oblique ? 45 : 15);
    const QPointF entry(how == TNeedling::Transverse ? 200 : 360, 160);
    const double inside = how == TNeedling::Perpendicular ? 230 : (how == TNeedling::Oblique ? 260 : 300);
    const QPointF dir(std::cos(qDegreesToRadians(angle)), std::sin(qDegreesToRadians(angle)));
    const QPointF tip = entry + dir * inside;
    const QPointF back = entry - dir * 150;
    p.setPen(QPen(QColor(150, 156, 166), 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(back, tip);
    p.setPen(QPen(QColor(230, 234, 240), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(back, tip - dir * 4);
    // handle wound with wire
    const QPointF handleEnd = back - dir * 110;
    p.setPen(QPen(QColor(176, 130, 60), 16, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(back, handleEnd);
    p.setPen(QPen(QColor(226, 190, 110), 2));
    const QPointF nrm(-dir.y(), dir.x());
    for (int i = 0; i < 14; ++i) {
        const QPointF c = back - dir * (i * 8.0 + 4);
        p.drawLine(c - nrm * 8, c + nrm * 8 - dir * 3);
    }
    // angle arc
    p.setPen(QPen(QColor(40, 90, 160), 2, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    p.drawLine(entry + QPointF(-170, 0), entry + QPointF(60, 0));
    p.setPen(QPen(QColor(40, 90, 160), 2));
    p.drawArc(QRectF(entry.x() - 90, entry.y() - 90, 180, 180), 180 * 16, static_cast<int>(-(180 - angle) * 16));
    p.setFont(DemoSans(26, true));
    p.setPen(QColor(40, 90, 160));
    const QString how_text = how == TNeedling::Perpendicular ? QStringLiteral("直刺 90°")
                             : how == TNeedling::Oblique     ? QStringLiteral("斜刺 45°")
                                                             : QStringLiteral("平刺 15°");
    const QString depth = how == TNeedling::Perpendicular ? QStringLiteral("0.5～1.5寸")
                          : how == TNeedling::Oblique     ? QStringLiteral("0.5～0.8寸")
                                                          : QStringLiteral("0.3～0.5寸");
    p.drawText(QRectF(60, 40, 600, 40), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("%1  %2").arg(QString::fromUtf8(pt.name), how_text));
    p.setFont(DemoSans(22));
    p.setPen(QColor(70, 60, 50));
    p.drawText(QRectF(60, 86, 640, 36), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("进针深度 %1").arg(depth));
}

void viewWoodblock(TDemoPage &page, const TDemoAcupoint &pt, TDemoRandom &rng)
{
    QPainter &p = page.Painter();
    const QRectF art = page.ArtRect();
    page.FillArtDiagonal({{0, QColor(232, 214, 176)}, {1, QColor(214, 190, 146)}});
    // age spots on the paper
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 18; ++i) {
        const QPointF s(art.left() + rng.Uniform() * art.width(), art.top() + rng.Uniform() * art.height());
        const double r = rng.Range(0.01, 0.05) * page.Unit();
        p.setBrush(ArtGlowGradient(s, r, QColor(170, 130, 80, 50)));
        p.drawEllipse(s, r, r);
    }
    page.FitDesign(QSizeF(620, 1040));
    const QColor ink(64, 40, 24);
    // border rules, as on an old printed chart
    p.setPen(QPen(ink, 3));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(4, 4, 612, 1032));
    p.setPen(QPen(ink, 1.2));
    p.drawRect(QRectF(14, 14, 592, 1012));
    p.translate(110, 24);
    TFigureStyle st{QColor(0, 0, 0, 0), QColor(0, 0, 0, 0), ink, ink, 2.4, true};
    drawFigure(p, pt.view, st);
    drawMeridian(p, pt, ink, 2.6, false);
    for (const TDemoAcupoint *a : meridianPoints(QString::fromUtf8(pt.meridian), pt.view)) {
        p.setPen(QPen(ink, 2));
        p.setBrush(QColor(236, 222, 190));
        p.drawEllipse(QPointF(a->x, a->y), 6, 6);
    }
    p.setPen(QPen(QColor(150, 20, 10), 3));
    p.setBrush(QColor(200, 40, 30));
    p.drawEllipse(QPointF(pt.x, pt.y), 10, 10);
    // vertical title on the right, the name of the meridian on the left, in the old manner
    p.resetTransform();
    page.FitDesign(QSizeF(620, 1040));
    auto vertical = [&](const QString &text, double x, double top, double size, const QColor &c) {
        p.setFont(DemoSerif(size, true));
        p.setPen(c);
        for (int i = 0; i < text.size(); ++i)
            p.drawText(QRectF(x - size, top + i * size * 1.1, size * 2, size * 1.1), Qt::AlignCenter, text.mid(i, 1));
    };
    vertical(QString::fromUtf8(pt.name) + QStringLiteral("穴"), 560, 80, 44, QColor(150, 30, 20));
    vertical(QString::fromUtf8(pt.meridian), 60, 80, 30, ink);
    // a red seal
    p.setPen(QPen(QColor(180, 40, 30), 3));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(520, 940, 70, 70));
    p.setFont(DemoSerif(26, true));
    p.setPen(QColor(180, 40, 30));
    p.drawText(QRectF(520, 940, 70, 70), Qt::AlignCenter, QStringLiteral("经穴"));
}

} // namespace

QString AcupointViewName(int view)
{
    switch (view) {
    case 0: return QStringLiteral("经络循行");
    case 1: return QStringLiteral("局部取穴");
    case 2: return QStringLiteral("针刺示意");
    default: return QStringLiteral("古法经穴图");
    }
}

bool AcupointViewIsLandscape(int view)
{
    return view == 1 || view == 2;
}

QImage DrawAcupointPicture(const TDemoAcupoint &point, int view, QSize size)
{
    const TDemoPageStyle style{QColor(250, 251, 252), QColor(232, 236, 240), QColor(44, 58, 82),
                               QColor(190, 204, 226), QColor(150, 160, 176)};
    TDemoRandom rng = TDemoRandom::ForKey(QString::fromUtf8(point.name), view);
    const QString subtitle = DemoSubtitle(point.meridian, AcupointViewName(view));
    return DemoPicture(size, style, QString::fromUtf8(point.name), subtitle, kTag, [&](TDemoPage &page) {
        switch (view) {
        case 0: viewChart(page, point); break;
        case 1: viewCloseUp(page, point); break;
        case 2: viewNeedling(page, point); break;
        default: viewWoodblock(page, point, rng); break;
        }
    });
}
