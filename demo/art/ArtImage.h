#pragma once
// Making and writing whole pictures: drawn larger and reduced for clean small pictures, filled with
// a ground, saved with a line that says what was written.
#include <QBrush>
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QSize>
#include <QString>

#include <functional>

// A picture of `size` drawn `factor` times larger on `ground` (antialiased, in the small picture's
// units) and reduced smoothly: edges come out clean even at 32 x 32.
QImage ArtSupersampled(QSize size, int factor, const QColor &ground, const std::function<void(QPainter &)> &draw);

// An opaque picture covered with `fill` (a colour or a gradient), for the caller to paint on.
QImage ArtFilledImage(QSize size, const QBrush &fill);

// Writes the picture in the format its name asks for and prints its name and size; on failure says
// so on stderr and returns false. quality: 0-100 for lossy formats, -1 for the default.
bool ArtSaveImage(const QImage &image, const QString &path, int quality = -1);
