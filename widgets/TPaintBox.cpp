#include "widgets/TPaintBox.h"

#include "platform/TCanvas.h"

TPaintBox::TPaintBox(QWidget *parent) : QWidget(parent) {}

TPaintBox::~TPaintBox() = default;

void TPaintBox::paintEvent(QPaintEvent *)
{
    TCanvas canvas(this);
    canvas.SetFont(font());
    m_canvas = &canvas;
    // Cleared on every way out, also when a handler raises.
    struct Reset {
        TCanvas *&target;
        ~Reset() { target = nullptr; }
    } reset{m_canvas};
    emit OnPaint(this);
}
