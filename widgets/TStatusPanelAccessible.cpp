#include "widgets/TStatusPanelAccessible.h"

#include "widgets/TStatusBar.h"

#include <QWidget>
#include <QWindow>

TStatusPanelAccessible::TStatusPanelAccessible(TStatusBar *bar, int index) : m_bar(bar), m_index(index) {}

bool TStatusPanelAccessible::isValid() const
{
    return m_bar && m_index >= 0 && m_index < m_bar->PanelCount();
}

QObject *TStatusPanelAccessible::object() const
{
    return nullptr;
}

QWindow *TStatusPanelAccessible::window() const
{
    return m_bar ? m_bar->window()->windowHandle() : nullptr;
}

QAccessibleInterface *TStatusPanelAccessible::parent() const
{
    return m_bar ? QAccessible::queryAccessibleInterface(m_bar.data()) : nullptr;
}

QAccessibleInterface *TStatusPanelAccessible::child(int) const
{
    return nullptr;
}

int TStatusPanelAccessible::childCount() const
{
    return 0;
}

int TStatusPanelAccessible::indexOfChild(const QAccessibleInterface *) const
{
    return -1;
}

QAccessibleInterface *TStatusPanelAccessible::childAt(int, int) const
{
    return nullptr;
}

QString TStatusPanelAccessible::text(QAccessible::Text t) const
{
    if (!isValid() || t != QAccessible::Name)
        return QString();
    return m_bar->Panel(m_index).Text;
}

void TStatusPanelAccessible::setText(QAccessible::Text, const QString &) {}

QRect TStatusPanelAccessible::rect() const
{
    if (!isValid())
        return QRect();
    const QRect area = m_bar->PanelArea(m_index);
    return QRect(m_bar->mapToGlobal(area.topLeft()), area.size());
}

QAccessible::Role TStatusPanelAccessible::role() const
{
    return QAccessible::StaticText;
}

QAccessible::State TStatusPanelAccessible::state() const
{
    QAccessible::State s;
    if (!isValid() || !m_bar->isVisible())
        s.invisible = true;
    s.readOnly = true;
    return s;
}
