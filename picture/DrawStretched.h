#pragma once
// Draws an image stretched into a rectangle (no aspect ratio kept) with smooth resampling.
#include <QImage>
#include <QRect>

class QPainter;

// The size in device pixels that target covers on the painter's device (transform and
// device pixel ratio included).
QSize DeviceSizeOf(const QPainter &painter, const QRect &target);

// What a shrinking draw puts on the device: image scaled to exactly device pixels, or image itself
// when it already has that size. A null image when device is larger in either direction (that
// draw stretches the image instead).
QImage ShrunkToDevice(const QImage &image, const QSize &device);

void DrawStretched(QPainter &painter, const QRect &target, const QImage &image);
