#pragma once
// The one shared service object: the message box every window uses, the typed input window and the
// gradient caption panels of the main window. Reached through the global g_FunctionSet.
#include "glo/TQELCalendar.h"
#include "platform/TColorRef.h"
#include "platform/TRect.h"

#include <QString>
#include <cstdint>
#include <memory>

class TCanvas;
class TFunParam;

class TqelFunctionSet {
public:
    TqelFunctionSet();
    ~TqelFunctionSet();
    TqelFunctionSet(const TqelFunctionSet &) = delete;
    TqelFunctionSet &operator=(const TqelFunctionSet &) = delete;

    // A message box modal to the whole application, owned by the active window (none when no window
    // is active). Flags is a MessageBox style (MB_...); the result is the identifier of the button pressed (IDOK ... IDNO).
    int MsgBox(const QString &text, const QString &caption, std::uint32_t flags);

    // Asks for one value of the given kind (TInputKind) in the modal typed input window, filled from
    // and written back to param. Returns 1 when confirmed (the kind's slot was written), 2 when
    // cancelled or closed (param untouched).
    int ShowInputWindow(const QString &prompt, TFunParam &param, std::uint8_t inputKind);

    // Fills panelRect with a two-colour gradient (optionally mirrored about the middle), optionally
    // frames it and draws the caption transparently inside it: alignment 0 left, 1 right, 2 centre.
    // The canvas's pen colour, brush colour, brush style and pen position are left as found.
    void DrawGradientPanel(TCanvas *canvas, const TRect &panelRect, TColor startColor, TColor endColor,
                           bool drawFrame, bool mirrored, bool vertical, const QString &caption,
                           std::uint8_t alignment);

private:
    // Line by line, rows T..B (vertical) or columns L..R inclusive, from startColor to endColor.
    void FillGradient(TCanvas &canvas, const TRect &area, TColor startColor, TColor endColor, bool vertical);

    std::unique_ptr<TQELCalendar> m_pCalendar;
};
