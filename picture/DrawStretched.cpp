#include "picture/DrawStretched.h"

#include <QPaintDevice>
#include <QPainter>

#include <cmath>

QSize DeviceSizeOf(const QPainter &painter, const QRect &target)
{
    const QRectF mapped = painter.combinedTransform().mapRect(QRectF(target));
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    return QSize(int(std::ceil(mapped.width() * ratio - 1e-6)), int(std::ceil(mapped.height() * ratio - 1e-6)));
}

void DrawStretched(QPainter &painter, const QRect &target, const QImage &image)
{
    if (image.isNull() || target.isEmpty())
        return;
    const QSize device = DeviceSizeOf(painter, target);
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    if (device.width() > 0 && device.height() > 0 && device.width() <= image.width()
        && device.height() <= image.height() && device != image.size()) {
        // Shrinking: Qt's smooth scaling averages the covered pixels, where a transformed draw
        // would only interpolate between neighbours and alias.
        painter.drawImage(target, image.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    } else {
        painter.drawImage(target, image);
    }
    painter.restore();
}
