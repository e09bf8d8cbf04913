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

QPainterPath ArtPolygonPath(std::initializer_list<QPointF> corners)
{
    QPainterPath path;
    if (corners.size() == 0)
        return path;
    const QPointF *corner = corners.begin();
    path.moveTo(*corner);
    for (++corner; corner != corners.end(); ++corner)
        path.lineTo(*corner);
    path.closeSubpath();
    return path;
}

QPen ArtRoundPen(const QColor &colour, qreal width)
{
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
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
