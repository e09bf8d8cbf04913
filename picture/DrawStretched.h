#pragma once
// Draws an image stretched into a rectangle (no aspect ratio kept) with smooth resampling.
#include <QImage>
#include <QRect>

class QPainter;

// The size in device pixels that target covers on the painter's device (transform and
// device pixel ratio included).
QSize DeviceSizeOf(const QPainter &painter, const QRect &target);

void DrawStretched(QPainter &painter, const QRect &target, const QImage &image);
