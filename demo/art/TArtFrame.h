#pragma once
// Draws in a frame of its own: moves the painter's origin to `origin` and turns it by `degrees`
// (clockwise), and gives the painter back as it was (pen, brush, transform, clip) at the end of
// the scope.
#include <QPainter>
#include <QPointF>

class TArtFrame {
public:
    TArtFrame(QPainter &painter, QPointF origin, qreal degrees) : m_painter(painter)
    {
        m_painter.save();
        m_painter.translate(origin);
        m_painter.rotate(degrees);
    }
    ~TArtFrame() { m_painter.restore(); }
    TArtFrame(const TArtFrame &) = delete;
    TArtFrame &operator=(const TArtFrame &) = delete;

private:
    QPainter &m_painter;
};
