#pragma once
// A drawing surface with the state model of a Windows device context: a current pen colour, a brush
// (colour and style), a font with its colour and a pen position. Painting routines read and restore
// this state exactly, which QPainter alone does not keep in this form.
#include "platform/TColorRef.h"
#include "platform/TRect.h"

#include <QFont>
#include <QPoint>
#include <cstdint>
#include <memory>

class QPainter;
class QPaintDevice;

enum class TBrushStyle { bsSolid, bsClear };

class TCanvas {
public:
    // Draws through a painter that the caller owns and keeps active (a paint event's painter).
    explicit TCanvas(QPainter &painter);
    // Opens a painter of its own on the device for the canvas's lifetime.
    explicit TCanvas(QPaintDevice *device);
    ~TCanvas();
    TCanvas(const TCanvas &) = delete;
    TCanvas &operator=(const TCanvas &) = delete;

    QPainter &Painter() { return *m_painter; }

    TColor PenColor() const { return m_penColor; }
    void SetPenColor(TColor c) { m_penColor = c; }
    TColor BrushColor() const { return m_brushColor; }
    // Giving a clear brush a colour makes it solid again: a colour is only set to be painted with.
    void SetBrushColor(TColor c);
    TBrushStyle BrushStyle() const { return m_brushStyle; }
    void SetBrushStyle(TBrushStyle s) { m_brushStyle = s; }
    QPoint PenPos() const { return m_penPos; }
    void SetPenPos(QPoint p) { m_penPos = p; }
    const QFont &Font() const { return m_font; }
    void SetFont(const QFont &f) { m_font = f; }
    TColor FontColor() const { return m_fontColor; }
    void SetFontColor(TColor c) { m_fontColor = c; }

    void MoveTo(int x, int y) { m_penPos = QPoint(x, y); }
    // A one-pixel line in the pen colour from the pen position to (x, y), the end point itself not
    // painted; the pen position becomes (x, y).
    void LineTo(int x, int y);
    // One-pixel outline in the brush colour: columns Left and Right - 1, rows Top and Bottom - 1.
    // Nothing for an empty rectangle or a clear brush.
    void FrameRect(const TRect &r);
    // Fills the rectangle with the brush; nothing for an empty rectangle or a clear brush.
    void FillRect(const TRect &r);
    // Draws text clipped to r in the font and font colour, aligned by DT_LEFT / DT_CENTER / DT_RIGHT,
    // from the top of r; line breaks (CR LF, LF or CR) start new lines, "&x" underlines x and "&&"
    // gives "&". With a solid brush each line's background is filled with the brush colour.
    // Returns the height of the text drawn.
    int DrawText(const QString &text, const TRect &r, std::uint32_t format);

private:
    void FillPixels(int x, int y, int w, int h, TColor c);

    std::unique_ptr<QPainter> m_ownPainter;
    QPainter *m_painter = nullptr;
    TColor m_penColor = 0x000000;
    TColor m_brushColor = 0xFFFFFF;
    TBrushStyle m_brushStyle = TBrushStyle::bsSolid;
    QPoint m_penPos;
    QFont m_font;
    TColor m_fontColor = 0x000000;
};
