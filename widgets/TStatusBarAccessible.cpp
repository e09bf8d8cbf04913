#include "widgets/TStatusBarAccessible.h"

#include "widgets/TStatusBar.h"
#include "widgets/TStatusPanelAccessible.h"

TStatusBarAccessible::TStatusBarAccessible(TStatusBar *bar) : QAccessibleWidget(bar, QAccessible::StatusBar) {}

TStatusBarAccessible::~TStatusBarAccessible()
{
    for (QAccessible::Id id : std::as_const(m_panelIds)) {
        if (id)
            QAccessible::deleteAccessibleInterface(id);
    }
}

TStatusBar *TStatusBarAccessible::Bar() const
{
    return static_cast<TStatusBar *>(widget());
}

int TStatusBarAccessible::childCount() const
{
    return Bar()->PanelCount();
}

QAccessibleInterface *TStatusBarAccessible::child(int index) const
{
    if (index < 0 || index >= childCount())
        return nullptr;
    if (m_panelIds.size() <= index)
        m_panelIds.resize(index + 1);
    if (!m_panelIds[index])
        m_panelIds[index] = QAccessible::registerAccessibleInterface(new TStatusPanelAccessible(Bar(), index));
    return QAccessible::accessibleInterface(m_panelIds[index]);
}

int TStatusBarAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    for (int i = 0; i < m_panelIds.size(); ++i) {
        if (m_panelIds[i] && QAccessible::accessibleInterface(m_panelIds[i]) == child)
            return i;
    }
    return -1;
}

QAccessibleInterface *TStatusBarAccessible::childAt(int x, int y) const
{
    const QPoint local = Bar()->mapFromGlobal(QPoint(x, y));
    for (int i = 0; i < childCount(); ++i) {
        if (Bar()->PanelArea(i).contains(local))
            return child(i);
    }
    return nullptr;
}

QString TStatusBarAccessible::text(QAccessible::Text t) const
{
    // Read as a whole, the bar says what its panels say.
    if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) {
        QStringList texts;
        for (int i = 0; i < childCount(); ++i)
            texts << Bar()->Panel(i).Text;
        return texts.join(QStringLiteral("  "));
    }
    return QAccessibleWidget::text(t);
}
