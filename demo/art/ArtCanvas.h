#pragma once
// The painting helpers that every picture of the program is drawn with: the demo catalogue's
// illustrations and the build-time artwork (icons, banners, dialog pictures) alike. Each is a pure
// function of its arguments, so the same call paints the same pixels on every run.
#include <QColor>
#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QRadialGradient>
#include <QString>
#include <QVector>

#include <initializer_list>

// One colour stop of a gradient: where along it (0 to 1) and which colour.
struct TArtStop {
    qreal at;
    QColor colour;
};

QLinearGradient ArtLinearGradient(QPointF from, QPointF to, std::initializer_list<TArtStop> stops);
QRadialGradient ArtRadialGradient(QPointF centre, qreal radius, std::initializer_list<TArtStop> stops);
// A soft glow: `core` at the centre fading to nothing (the same colour, transparent) at the radius.
QRadialGradient ArtGlowGradient(QPointF centre, qreal radius, const QColor &core);

// A closed outline with straight edges through the corners, in order.
QPainterPath ArtPolygonPath(const QVector<QPointF> &corners);

// A pen with round caps and joins, for outlines whose strokes meet smoothly.
QPen ArtRoundPen(const QColor &colour, qreal width);

// A filled and outlined shape. The painter keeps the pen and brush, for what follows to draw in.
void ArtDrawShape(QPainter &p, const QPainterPath &shape, const QBrush &fill, const QPen &outline);
void ArtDrawEllipse(QPainter &p, QPointF centre, qreal rx, qreal ry, const QBrush &fill, const QPen &outline);

// A medical cross centred on `centre`: an upright bar, then a crossing one, each 2 * halfLength long
// and 2 * halfWidth wide with corners rounded by `radius`, in the painter's pen and brush.
void ArtDrawCross(QPainter &p, QPointF centre, qreal halfLength, qreal halfWidth, qreal radius);

// A font by family and size in pixels (independent of the screen's resolution).
QFont ArtFont(const QString &family, int pixelSize, QFont::Weight weight = QFont::Normal, bool italic = false);
