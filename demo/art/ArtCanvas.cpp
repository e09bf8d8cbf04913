#include "demo/art/ArtCanvas.h"

namespace {

template <class Gradient>
Gradient withStops(Gradient gradient, std::initializer_list<TArtStop> stops)
{
    for (const TArtStop &stop : stops)
        gradient.setColorAt(stop.at, stop.colour);
    return gradient;
}

} // namespace

QLinearGradient ArtLinearGradient(QPointF from, QPointF to, std::initializer_list<TArtStop> stops)
{
    return withStops(QLinearGradient(from, to), stops);
}

QRadialGradient ArtRadialGradient(QPointF centre, qreal radius, std::initializer_list<TArtStop> stops)
{
    return withStops(QRadialGradient(centre, radius), stops);
}

QRadialGradient ArtGlowGradient(QPointF centre, qreal radius, const QColor &core)
{
    QColor rim = core;
    rim.setAlpha(0);
    return ArtRadialGradient(centre, radius, {{0, core}, {1, rim}});
}

QPainterPath ArtPolygonPath(const QVector<QPointF> &corners)
{
    QPainterPath path;
    if (corners.isEmpty())
        return path;
    path.moveTo(corners.first());
    for (int i = 1; i < corners.size(); ++i)
        path.lineTo(corners[i]);
    path.closeSubpath();
    return path;
}

QPen ArtRoundPen(const QColor &colour, qreal width)
{
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void ArtDrawShape(QPainter &p, const QPainterPath &shape, const QBrush &fill, const QPen &outline)
{
    p.setBrush(fill);
    p.setPen(outline);
    p.drawPath(shape);
}

void ArtDrawEllipse(QPainter &p, QPointF centre, qreal rx, qreal ry, const QBrush &fill, const QPen &outline)
{
    p.setBrush(fill);
    p.setPen(outline);
    p.drawEllipse(centre, rx, ry);
}

void ArtDrawCross(QPainter &p, QPointF centre, qreal halfLength, qreal halfWidth, qreal radius)
{
    p.drawRoundedRect(QRectF(centre.x() - halfWidth, centre.y() - halfLength, 2 * halfWidth, 2 * halfLength), radius,
                      radius);
    p.drawRoundedRect(QRectF(centre.x() - halfLength, centre.y() - halfWidth, 2 * halfLength, 2 * halfWidth), radius,
                      radius);
}

QFont ArtFont(const QString &family, int pixelSize, QFont::Weight weight, bool italic)
{
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    font.setItalic(italic);
    return font;
}
