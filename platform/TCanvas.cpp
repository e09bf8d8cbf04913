#include "platform/TCanvas.h"

#include "platform/WinConstants.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRegularExpression>
#include <cstdlib>

TCanvas::TCanvas(QPainter &painter) : m_painter(&painter), m_font(painter.font()) {}

TCanvas::TCanvas(QPaintDevice *device)
    : m_ownPainter(std::make_unique<QPainter>(device)), m_painter(m_ownPainter.get()), m_font(m_painter->font())
{
}

TCanvas::~TCanvas() = default;

void TCanvas::SetBrushColor(TColor c)
{
    m_brushColor = c;
    if (m_brushStyle == TBrushStyle::bsClear)
        m_brushStyle = TBrushStyle::bsSolid;
}

void TCanvas::FillPixels(int x, int y, int w, int h, TColor c)
{
    if (w > 0 && h > 0)
        m_painter->fillRect(QRect(x, y, w, h), ColorRefToQColor(c));
}

void TCanvas::LineTo(int x, int y)
{
    const QPoint from = m_penPos;
    m_penPos = QPoint(x, y);
    const int dx = x - from.x();
    const int dy = y - from.y();
    if (dy == 0) {
        if (dx > 0)
            FillPixels(from.x(), y, dx, 1, m_penColor);
        else if (dx < 0)
            FillPixels(x + 1, y, -dx, 1, m_penColor);
        return;
    }
    if (dx == 0) {
        if (dy > 0)
            FillPixels(x, from.y(), 1, dy, m_penColor);
        else
            FillPixels(x, y + 1, 1, -dy, m_penColor);
        return;
    }
    // Diagonal: Bresenham, stopping before the end point.
    const int ax = std::abs(dx), ay = std::abs(dy);
    const int sx = dx > 0 ? 1 : -1, sy = dy > 0 ? 1 : -1;
    int px = from.x(), py = from.y();
    int err = ax - ay;
    while (px != x || py != y) {
        FillPixels(px, py, 1, 1, m_penColor);
        const int e2 = 2 * err;
        if (e2 > -ay) {
            err -= ay;
            px += sx;
        }
        if (e2 < ax) {
            err += ax;
            py += sy;
        }
    }
}

void TCanvas::FrameRect(const TRect &r)
{
    if (r.IsEmpty() || m_brushStyle == TBrushStyle::bsClear)
        return;
    const int w = r.Width(), h = r.Height();
    FillPixels(r.Left, r.Top, w, 1, m_brushColor);
    FillPixels(r.Left, r.Bottom - 1, w, 1, m_brushColor);
    FillPixels(r.Left, r.Top, 1, h, m_brushColor);
    FillPixels(r.Right - 1, r.Top, 1, h, m_brushColor);
}

void TCanvas::FillRect(const TRect &r)
{
    if (r.IsEmpty() || m_brushStyle == TBrushStyle::bsClear)
        return;
    FillPixels(r.Left, r.Top, r.Width(), r.Height(), m_brushColor);
}

namespace {
// What a line looks like once its mnemonic markers are processed, for measuring its background.
QString WithoutMnemonics(const QString &line)
{
    QString out;
    out.reserve(line.size());
    for (int i = 0; i < line.size(); ++i) {
        if (line[i] == QLatin1Char('&') && i + 1 < line.size())
            ++i;
        out += line[i];
    }
    return out;
}
} // namespace

int TCanvas::DrawText(const QString &text, const TRect &r, std::uint32_t format)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    const QStringList lines = text.split(lineBreak);
    const QFontMetrics fm(m_font, m_painter->device());
    const int lineHeight = fm.lineSpacing();
    if (r.IsEmpty())
        return lineHeight * int(lines.size());

    Qt::Alignment horizontal = Qt::AlignLeft;
    if (format & DT_CENTER)
        horizontal = Qt::AlignHCenter;
    else if (format & DT_RIGHT)
        horizontal = Qt::AlignRight;

    m_painter->save();
    m_painter->setClipRect(r.ToQRect(), Qt::IntersectClip);
    m_painter->setFont(m_font);
    m_painter->setPen(ColorRefToQColor(m_fontColor));
    int y = r.Top;
    for (const QString &line : lines) {
        const QRect lineRect(r.Left, y, r.Width(), lineHeight);
        if (m_brushStyle == TBrushStyle::bsSolid && !line.isEmpty()) {
            const int w = fm.horizontalAdvance(WithoutMnemonics(line));
            int x = r.Left;
            if (horizontal == Qt::AlignHCenter)
                x = r.Left + (r.Width() - w) / 2;
            else if (horizontal == Qt::AlignRight)
                x = r.Right - w;
            FillPixels(x, y, w, lineHeight, m_brushColor);
        }
        m_painter->drawText(lineRect, int(horizontal | Qt::AlignTop) | Qt::TextShowMnemonic, line);
        y += lineHeight;
    }
    m_painter->restore();
    return lineHeight * int(lines.size());
}
