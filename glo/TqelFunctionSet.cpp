#include "glo/TqelFunctionSet.h"

#include "glo/GradientMath.h"
#include "glo/UGloInputDlg.h"
#include "platform/TCanvas.h"
#include "platform/WinConstants.h"
#include "widgets/WinMessageBox.h"

#include <QApplication>

TqelFunctionSet::TqelFunctionSet() : m_pCalendar(std::make_unique<TQELCalendar>()) {}

TqelFunctionSet::~TqelFunctionSet() = default;

int TqelFunctionSet::MsgBox(const QString &text, const QString &caption, std::uint32_t flags)
{
    return WinMessageBox(QApplication::activeWindow(), text, caption, flags);
}

int TqelFunctionSet::ShowInputWindow(const QString &prompt, TFunParam &param, std::uint8_t inputKind)
{
    // Owned by the application (no parent window), freed on return.
    Tm_GloInputDlg dialog(nullptr, prompt, param, inputKind);
    return dialog.exec();
}

void TqelFunctionSet::FillGradient(TCanvas &canvas, const TRect &area, TColor startColor, TColor endColor,
                                   bool vertical)
{
    if (vertical) {
        const int n = area.Bottom - area.Top;
        for (int i = 0; n >= 0 && i <= n; ++i) {
            const int y = area.Top + i;
            canvas.SetPenColor(GradientColor(startColor, endColor, i, n));
            canvas.MoveTo(area.Left, y);
            canvas.LineTo(area.Right, y);
        }
    } else {
        const int n = area.Right - area.Left;
        for (int i = 0; n >= 0 && i <= n; ++i) {
            const int x = area.Left + i;
            canvas.SetPenColor(GradientColor(startColor, endColor, i, n));
            canvas.MoveTo(x, area.Top);
            canvas.LineTo(x, area.Bottom);
        }
    }
}

namespace {
// Blanks and control characters only: such a caption draws nothing.
bool IsBlankCaption(const QString &caption)
{
    for (QChar c : caption) {
        if (c.unicode() > 32)
            return false;
    }
    return true;
}
} // namespace

void TqelFunctionSet::DrawGradientPanel(TCanvas *canvas, const TRect &panelRect, TColor startColor,
                                        TColor endColor, bool drawFrame, bool mirrored, bool vertical,
                                        const QString &caption, std::uint8_t alignment)
{
    const int L = panelRect.Left, T = panelRect.Top, R = panelRect.Right, B = panelRect.Bottom;
    if (!canvas || R <= L || B <= T)
        return;

    const TColor savedPenColor = canvas->PenColor();
    const TColor savedBrushColor = canvas->BrushColor();
    const QPoint savedPenPos = canvas->PenPos();
    const TBrushStyle savedBrushStyle = canvas->BrushStyle();

    if (!mirrored) {
        FillGradient(*canvas, panelRect, startColor, endColor, vertical);
    } else if (vertical) {
        const int mid = GradientMidpoint(T, B);
        FillGradient(*canvas, TRect(L, T, R, mid), startColor, endColor, true);
        FillGradient(*canvas, TRect(L, mid, R, B), endColor, startColor, true);
    } else {
        const int mid = GradientMidpoint(L, R);
        FillGradient(*canvas, TRect(L, T, mid, B), startColor, endColor, false);
        FillGradient(*canvas, TRect(mid, T, R, B), endColor, startColor, false);
    }

    if (drawFrame) {
        canvas->SetBrushColor(GradientFrameColor(startColor, endColor, B - T));
        canvas->FrameRect(panelRect);
    }

    if (!IsBlankCaption(caption)) {
        canvas->SetBrushStyle(TBrushStyle::bsClear);
        const TRect textRect(L + 1, T + 1, R - 1, B - 1);
        switch (alignment) {
        case 0:
            canvas->DrawText(caption, textRect, DT_LEFT);
            break;
        case 1:
            canvas->DrawText(caption, textRect, DT_RIGHT);
            break;
        case 2:
            canvas->DrawText(caption, textRect, DT_CENTER);
            break;
        default:
            break;
        }
    }

    // The brush style goes back last: restoring the brush colour would make a clear brush solid.
    canvas->SetPenPos(savedPenPos);
    canvas->SetBrushColor(savedBrushColor);
    canvas->SetPenColor(savedPenColor);
    canvas->SetBrushStyle(savedBrushStyle);
}
