#include "demo/art/DemoArtCanvas.h"

#include <QFontMetricsF>
#include <QLinearGradient>

#include <algorithm>
#include <cmath>

std::uint64_t DemoStableHash(const QString &text)
{
    std::uint64_t h = 1469598103934665603ull;
    for (const char c : text.toUtf8()) {
        h ^= static_cast<unsigned char>(c);
        h *= 1099511628211ull;
    }
    return h;
}

TDemoRandom TDemoRandom::ForKey(const QString &key, int salt)
{
    return TDemoRandom(DemoStableHash(key) ^ (0x9E3779B97F4A7C15ull * static_cast<std::uint64_t>(salt + 1)));
}

std::uint64_t TDemoRandom::Next()
{
    std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double TDemoRandom::Uniform()
{
    return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0);
}

double TDemoRandom::Range(double lo, double hi)
{
    return lo + (hi - lo) * Uniform();
}

int TDemoRandom::Below(int n)
{
    return n <= 0 ? 0 : static_cast<int>(Next() % static_cast<std::uint64_t>(n));
}

static QFont demoFont(const char *family, double pixelSize, bool bold)
{
    QFont f(QString::fromLatin1(family));
    f.setPixelSize(std::max(6, static_cast<int>(std::lround(pixelSize))));
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

QFont DemoSerif(double pixelSize, bool bold)
{
    return demoFont("Noto Serif CJK SC", pixelSize, bold);
}

QFont DemoSans(double pixelSize, bool bold)
{
    return demoFont("Noto Sans CJK SC", pixelSize, bold);
}

QPainterPath DemoSmoothPath(const QVector<QPointF> &pts, bool closed)
{
    QPainterPath path;
    const int n = pts.size();
    if (n == 0)
        return path;
    path.moveTo(pts[0]);
    if (n < 3) {
        for (int i = 1; i < n; ++i)
            path.lineTo(pts[i]);
        if (closed)
            path.closeSubpath();
        return path;
    }
    auto at = [&](int i) {
        if (closed)
            return pts[(i % n + n) % n];
        return pts[std::clamp(i, 0, n - 1)];
    };
    const int segments = closed ? n : n - 1;
    for (int i = 0; i < segments; ++i) {
        const QPointF p0 = at(i - 1), p1 = at(i), p2 = at(i + 1), p3 = at(i + 2);
        path.cubicTo(p1 + (p2 - p0) / 6.0, p2 - (p3 - p1) / 6.0, p2);
    }
    if (closed)
        path.closeSubpath();
    return path;
}

QVector<QPointF> DemoMirrored(const QVector<QPointF> &points, double axis)
{
    QVector<QPointF> out;
    out.reserve(points.size());
    for (int i = points.size() - 1; i >= 0; --i)
        out.append(QPointF(2 * axis - points[i].x(), points[i].y()));
    return out;
}

QColor DemoMix(const QColor &a, const QColor &b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * t),
                            static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * t),
                            static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * t));
}

void DemoDrawLabel(QPainter &p, QPointF anchor, QPointF textAt, const QString &text, const QColor &ink,
                   double pixelSize)
{
    p.save();
    const QFont font = DemoSans(pixelSize);
    const QFontMetricsF fm(font);
    const double w = fm.horizontalAdvance(text);
    const bool leftSide = textAt.x() < anchor.x();
    QPen pen(ink, std::max(1.0, pixelSize / 12.0));
    pen.setCapStyle(Qt::RoundCap);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const QPointF elbow(textAt.x() + (leftSide ? w * 0 + pixelSize * 0.3 : -pixelSize * 0.3), textAt.y());
    p.drawLine(anchor, elbow);
    p.setBrush(ink);
    p.drawEllipse(anchor, pixelSize / 7.0, pixelSize / 7.0);
    p.setFont(font);
    const QRectF box(leftSide ? textAt.x() - w : textAt.x(), textAt.y() - fm.height() / 2, w, fm.height());
    p.drawText(box, Qt::AlignVCenter | (leftSide ? Qt::AlignRight : Qt::AlignLeft), text);
    p.restore();
}

void DemoDrawCentredText(QPainter &p, QPointF centre, const QString &text, const QFont &font, const QColor &ink,
                         const QColor &halo)
{
    p.save();
    const QFontMetricsF fm(font);
    const double w = fm.horizontalAdvance(text);
    const QPointF base(centre.x() - w / 2, centre.y() + (fm.ascent() - fm.descent()) / 2);
    QPainterPath path;
    path.addText(base, font, text);
    ArtDrawShape(p, path, Qt::NoBrush, QPen(halo, font.pixelSize() * 0.22, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPath(path);
    p.restore();
}

void DemoDrawScaleBar(QPainter &p, QPointF left, double length, const QString &text, const QColor &ink)
{
    p.save();
    const double h = length * 0.06;
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 4; ++i) {
        p.setBrush(i % 2 ? QColor(Qt::white) : ink);
        p.drawRect(QRectF(left.x() + i * length / 4, left.y(), length / 4, h));
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(ink, h * 0.15));
    p.drawRect(QRectF(left.x(), left.y(), length, h));
    p.setFont(DemoSans(h * 2.2));
    p.setPen(ink);
    p.drawText(QRectF(left.x(), left.y() + h * 1.2, length, h * 3), Qt::AlignHCenter | Qt::AlignTop, text);
    p.restore();
}

TDemoPage::TDemoPage(QSize size, const TDemoPageStyle &style)
    : m_image(size, QImage::Format_RGB32), m_style(style)
{
    m_image.fill(style.paperBottom);
    m_painter.begin(&m_image);
    m_painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    const double w = size.width(), h = size.height();
    const QLinearGradient paper = ArtLinearGradient(QPointF(0, 0), QPointF(0, h),
                                                    {{0, style.paperTop}, {1, style.paperBottom}});
    m_painter.fillRect(QRectF(0, 0, w, h), paper);

    const double u = Unit();
    const double band = std::max(30.0, u * 0.095);
    const double inset = u * 0.022;
    m_painter.setPen(QPen(style.frame, std::max(1.0, u * 0.0025)));
    m_painter.setBrush(Qt::NoBrush);
    m_painter.drawRect(QRectF(inset, inset, w - 2 * inset, h - band - 2 * inset));
    m_art = QRectF(inset * 1.6, inset * 1.6, w - 3.2 * inset, h - band - 3.2 * inset);
}

void TDemoPage::FillArt(const QColor &ground)
{
    m_painter.fillRect(m_art, ground);
}

void TDemoPage::FillArtRadial(std::initializer_list<TArtStop> stops)
{
    m_painter.fillRect(m_art, ArtRadialGradient(m_art.center(), std::max(m_art.width(), m_art.height()) * 0.7, stops));
}

void TDemoPage::FillArtDiagonal(std::initializer_list<TArtStop> stops)
{
    m_painter.fillRect(m_art, ArtLinearGradient(m_art.topLeft(), m_art.bottomRight(), stops));
}

void TDemoPage::FillArtVertical(std::initializer_list<TArtStop> stops)
{
    m_painter.fillRect(m_art, ArtLinearGradient(m_art.topLeft(), m_art.bottomLeft(), stops));
}

double TDemoPage::FitDesign(QSizeF design, double margin)
{
    const QRectF area = m_art.adjusted(m_art.width() * margin, m_art.height() * margin, -m_art.width() * margin,
                                       -m_art.height() * margin);
    const double s = std::min(area.width() / design.width(), area.height() / design.height());
    m_painter.resetTransform();
    m_painter.translate(area.center().x() - design.width() * s / 2, area.center().y() - design.height() * s / 2);
    m_painter.scale(s, s);
    return s;
}

double TDemoPage::ZoomDesign(QSizeF design, QPointF focus, double zoom)
{
    const double s = std::min(m_art.width() / design.width(), m_art.height() / design.height()) * zoom;
    m_painter.resetTransform();
    m_painter.setClipRect(m_art);
    m_painter.translate(m_art.center().x() - focus.x() * s, m_art.center().y() - focus.y() * s);
    m_painter.scale(s, s);
    return s;
}

void TDemoPage::DrawCaption(const QString &title, const QString &subtitle, const QString &tag)
{
    m_painter.resetTransform();
    m_painter.setClipping(false);
    const double w = m_image.width(), h = m_image.height();
    const double u = Unit();
    const double band = std::max(30.0, u * 0.095);
    const QRectF bar(0, h - band, w, band);
    const QLinearGradient g = ArtLinearGradient(bar.topLeft(), bar.bottomLeft(),
                                                {{0, m_style.captionBand.lighter(118)}, {1, m_style.captionBand}});
    m_painter.fillRect(bar, g);

    const double pad = band * 0.45;
    const QFont titleFont = DemoSerif(band * 0.54, true);
    const QFont subFont = DemoSans(band * 0.34);
    const QFont tagFont = DemoSans(band * 0.28);
    const QFontMetricsF tm(titleFont), sm(subFont), gm(tagFont);
    const double tagWidth = gm.horizontalAdvance(tag);
    const double titleWidth = tm.horizontalAdvance(title);
    m_painter.setPen(m_style.captionInk);
    m_painter.setFont(titleFont);
    m_painter.drawText(QRectF(pad, bar.top(), titleWidth + 2, band), Qt::AlignVCenter | Qt::AlignLeft, title);

    const double subLeft = pad + titleWidth + band * 0.4;
    const double roomForSub = w - subLeft - pad - (tagWidth > 0 ? tagWidth + pad : 0);
    if (!subtitle.isEmpty() && roomForSub > band) {
        m_painter.setFont(subFont);
        m_painter.setPen(m_style.captionSubInk);
        const QString shown = sm.elidedText(subtitle, Qt::ElideRight, roomForSub);
        m_painter.drawText(QRectF(subLeft, bar.top(), roomForSub, band), Qt::AlignVCenter | Qt::AlignLeft, shown);
    }
    if (!tag.isEmpty() && w - subLeft > tagWidth + 2 * pad + band * 3) {
        m_painter.setFont(tagFont);
        m_painter.setPen(m_style.captionSubInk);
        m_painter.drawText(QRectF(w - pad - tagWidth, bar.top(), tagWidth, band), Qt::AlignVCenter | Qt::AlignRight,
                           tag);
    }
}

QImage TDemoPage::Finish()
{
    m_painter.end();
    return m_image;
}

QString DemoSubtitle(const char *group, const QString &view)
{
    return QStringLiteral("%1 · %2").arg(QString::fromUtf8(group), view);
}

QImage DemoPicture(QSize size, const TDemoPageStyle &style, const QString &title, const QString &subtitle,
                   const QString &tag, const std::function<void(TDemoPage &)> &draw)
{
    TDemoPage page(size, style);
    draw(page);
    page.DrawCaption(title, subtitle, tag);
    return page.Finish();
}
