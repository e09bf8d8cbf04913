#include "widgets/TStatusBar.h"

#include "platform/TCanvas.h"
#include "widgets/AccessibleFactory.h"

#include <QAccessible>

#include <QPainter>

namespace {
constexpr int kPanelGap = 2; // between two panels, as the system's status bar leaves it
}

TStatusBar::TStatusBar(QWidget *parent) : QWidget(parent)
{
    setCursor(Qt::PointingHandCursor);
    InstallAccessibleFactory();
}

void TStatusBar::SetPanels(const QList<TStatusPanel> &panels)
{
    m_panels = panels;
    update();
}

void TStatusBar::SetPanelText(int index, const QString &text)
{
    if (index < 0 || index >= m_panels.size() || m_panels[index].Text == text)
        return;
    m_panels[index].Text = text;
    update(PanelArea(index));
    // A screen reader hears the new text of the panel (the rotating one changes every few seconds).
    if (QAccessible::isActive()) {
        if (QAccessibleInterface *bar = QAccessible::queryAccessibleInterface(this)) {
            if (QAccessibleInterface *panel = bar->child(index)) {
                QAccessibleEvent changed(panel, QAccessible::NameChanged);
                QAccessible::updateAccessibility(&changed);
            }
        }
    }
}

QRect TStatusBar::PanelArea(int index) const
{
    int left = 0;
    for (int i = 0; i < index; ++i)
        left += m_panels[i].Width + kPanelGap;
    const bool last = index == m_panels.size() - 1;
    const int right = last ? width() : qMin(width(), left + m_panels[index].Width);
    return QRect(QPoint(left, 0), QPoint(right - 1, height() - 1));
}

QRect TStatusBar::PanelRect(int index) const
{
    const QRect area = PanelArea(index);
    return m_panels[index].Bevel == TStatusPanelBevel::pbNone ? area : area.adjusted(1, 1, -1, -1);
}

QSize TStatusBar::sizeHint() const
{
    return QSize(200, 19);
}

void TStatusBar::paintEvent(QPaintEvent *)
{
    TCanvas canvas(this);
    canvas.SetFont(font());
    QPainter &p = canvas.Painter();
    p.fillRect(rect(), palette().window());
    m_canvas = &canvas;
    struct Reset {
        TCanvas *&target;
        ~Reset() { target = nullptr; }
    } reset{m_canvas};
    for (int i = 0; i < m_panels.size(); ++i) {
        const QRect area = PanelArea(i);
        if (area.width() <= 0)
            continue;
        if (m_panels[i].Bevel != TStatusPanelBevel::pbNone) {
            const bool lowered = m_panels[i].Bevel == TStatusPanelBevel::pbLowered;
            const QColor dark = palette().color(QPalette::Dark);
            const QColor light = palette().color(QPalette::Light);
            p.setPen(lowered ? dark : light);
            p.drawLine(area.topLeft(), area.topRight());
            p.drawLine(area.topLeft(), area.bottomLeft());
            p.setPen(lowered ? light : dark);
            p.drawLine(area.bottomLeft(), area.bottomRight());
            p.drawLine(area.topRight(), area.bottomRight());
        }
        emit OnDrawPanel(this, i, TRect::FromQRect(PanelRect(i)));
    }
}
