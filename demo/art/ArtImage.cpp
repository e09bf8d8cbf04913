#include "demo/art/ArtImage.h"

#include <cstdio>

QImage ArtSupersampled(QSize size, int factor, const QColor &ground, const std::function<void(QPainter &)> &draw)
{
    QImage big(size * factor, QImage::Format_ARGB32_Premultiplied);
    big.fill(ground);
    {
        QPainter p(&big);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.scale(factor, factor);
        draw(p);
    }
    return big.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage ArtFilledImage(QSize size, const QBrush &fill)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter(&image).fillRect(image.rect(), fill);
    return image;
}

bool ArtSaveImage(const QImage &image, const QString &path, int quality)
{
    if (!image.save(path, nullptr, quality)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s %dx%d\n", qPrintable(path), image.width(), image.height());
    return true;
}
