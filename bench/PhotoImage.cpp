#include "bench/PhotoImage.h"

#include "bench/BenchRandom.h"
#include "picture/JpegEncoder.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

namespace {

QColor randomColour(TBenchRandom &rng, int lo = 20, int hi = 235)
{
    return QColor(lo + rng.Below(hi - lo), lo + rng.Below(hi - lo), lo + rng.Below(hi - lo));
}

void paintScene(QImage &img, TBenchRandom &rng)
{
    const int w = img.width(), h = img.height();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);

    // Sky and ground: two broad gradients meeting at an uneven horizon.
    const double horizon = h * rng.Uniform(0.35, 0.6);
    QLinearGradient sky(0, 0, w * rng.Uniform(-0.2, 0.2), horizon);
    sky.setColorAt(0, randomColour(rng, 120, 250));
    sky.setColorAt(1, randomColour(rng, 150, 250));
    p.fillRect(img.rect(), sky);
    QPainterPath ground;
    ground.moveTo(0, horizon);
    for (int i = 1; i <= 12; ++i)
        ground.lineTo(w * i / 12.0, horizon + h * rng.Uniform(-0.06, 0.06));
    ground.lineTo(w, h);
    ground.lineTo(0, h);
    ground.closeSubpath();
    QLinearGradient soil(0, horizon, 0, h);
    soil.setColorAt(0, randomColour(rng, 40, 160));
    soil.setColorAt(1, randomColour(rng, 10, 110));
    p.fillPath(ground, soil);

    // Soft lights and out-of-focus blobs.
    for (int i = 0; i < 12; ++i) {
        const QPointF c(rng.Uniform(0, w), rng.Uniform(0, h));
        const double r = std::min(w, h) * rng.Uniform(0.05, 0.35);
        QColor inner = randomColour(rng);
        inner.setAlpha(40 + rng.Below(120));
        QColor outer = inner;
        outer.setAlpha(0);
        QRadialGradient g(c, r);
        g.setColorAt(0, inner);
        g.setColorAt(1, outer);
        p.setBrush(g);
        p.drawEllipse(c, r, r);
    }

    // Objects: shaded ellipses and polygons, some in front of others.
    for (int i = 0; i < 40; ++i) {
        const double cx = rng.Uniform(0, w), cy = rng.Uniform(horizon * 0.6, h);
        const double rx = std::min(w, h) * rng.Uniform(0.02, 0.14), ry = rx * rng.Uniform(0.5, 1.6);
        QLinearGradient shade(cx - rx, cy - ry, cx + rx, cy + ry);
        const QColor base = randomColour(rng);
        shade.setColorAt(0, base.lighter(130 + rng.Below(40)));
        shade.setColorAt(1, base.darker(150 + rng.Below(80)));
        p.setBrush(shade);
        if (rng.Below(2)) {
            p.drawEllipse(QPointF(cx, cy), rx, ry);
        } else {
            QPolygonF poly;
            const int corners = 3 + rng.Below(5);
            for (int k = 0; k < corners; ++k) {
                const double a = 2 * M_PI * k / corners + rng.Uniform(-0.3, 0.3);
                poly << QPointF(cx + rx * std::cos(a), cy + ry * std::sin(a));
            }
            p.drawPolygon(poly);
        }
    }

    // Thin branches and edges, the fine detail a lens resolves.
    for (int i = 0; i < 60; ++i) {
        QColor c = randomColour(rng, 0, 200);
        c.setAlpha(90 + rng.Below(120));
        p.setPen(QPen(c, std::max(1.0, std::min(w, h) * rng.Uniform(0.0008, 0.004))));
        QPainterPath twig;
        QPointF at(rng.Uniform(0, w), rng.Uniform(0, h));
        twig.moveTo(at);
        for (int k = 0; k < 6; ++k) {
            at += QPointF(rng.Uniform(-0.06, 0.06) * w, rng.Uniform(-0.06, 0.06) * h);
            twig.lineTo(at);
        }
        p.drawPath(twig);
    }
}

// Fine texture (leaves, grain of surfaces) and sensor noise, per pixel. The noise level makes a
// 4000 x 3000 picture about 3 MB at quality 85, as a camera's JPEG of that size is.
void addTextureAndNoise(QImage &img, TBenchRandom &rng)
{
    const int w = img.width(), h = img.height();
    const double fx = rng.Uniform(0.02, 0.05), fy = rng.Uniform(0.02, 0.05);
    std::vector<int> texRow(w);
    for (int y = 0; y < h; ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        const double sy = std::sin(y * fy);
        for (int x = 0; x < w; ++x)
            texRow[x] = int(5 * std::sin(x * fx + 3 * sy));
        for (int x = 0; x < w; x += 2) {
            const std::uint64_t bits = rng.Next();
            for (int k = 0; k < 2 && x + k < w; ++k) {
                const std::uint64_t b = bits >> (32 * k);
                // Roughly Gaussian: the sum of two uniform nibbles, centred (sigma about 6).
                const int n = int((b & 0xF) + ((b >> 4) & 0xF)) - 15;
                const int chroma = int((b >> 8) & 0x3) - 1;
                const int t = texRow[x + k] + n * 5 / 4;
                const QRgb px = line[x + k];
                line[x + k] = qRgb(std::clamp(qRed(px) + t + chroma, 0, 255), std::clamp(qGreen(px) + t, 0, 255),
                                   std::clamp(qBlue(px) + t - chroma, 0, 255));
            }
        }
    }
}

} // namespace

QImage MakePhotoImage(int width, int height, std::uint64_t seed)
{
    TBenchRandom rng(seed * 0x2545F4914F6CDD1Dull + 17);
    QImage img(width, height, QImage::Format_RGB32);
    paintScene(img, rng);
    addTextureAndNoise(img, rng);
    return img;
}

QByteArray MakePhotoJpeg(int width, int height, std::uint64_t seed)
{
    TJpegEncodeOptions options;
    options.quality = 85;
    return EncodeJpeg(MakePhotoImage(width, height, seed), options);
}

QByteArray PadJpegTo(const QByteArray &jpeg, int size)
{
    QByteArray out = jpeg;
    int missing = size - int(jpeg.size());
    // Each comment segment carries at most 65533 bytes after its 4 bytes of marker and length.
    int at = 2;
    while (missing >= 4) {
        int body = std::min(missing - 4, 65533);
        if (const int left = missing - body - 4; left > 0 && left < 4)
            body -= 4; // leave enough for one more segment
        QByteArray segment;
        segment.append(char(0xFF)).append(char(0xFE));
        segment.append(char((body + 2) >> 8)).append(char((body + 2) & 0xFF));
        segment.append(QByteArray(body, 'x'));
        out.insert(at, segment);
        at += segment.size();
        missing -= segment.size();
    }
    return out;
}
