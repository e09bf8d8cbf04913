#include "widgets/TContextMenuKey.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

namespace {
// Set once the window system has been seen turning the Menu key into a menu request itself.
bool g_platformMenuKey = false;
} // namespace

TContextMenuKey::TContextMenuKey(QWidget *widget) : QObject(widget) {}

void TContextMenuKey::Install(QWidget *widget)
{
    widget->installEventFilter(new TContextMenuKey(widget));
}

void TContextMenuKey::Request(QWidget *widget, Qt::KeyboardModifiers modifiers)
{
    const QPoint pos = widget->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
    QContextMenuEvent request(QContextMenuEvent::Keyboard, pos, widget->mapToGlobal(pos), modifiers);
    m_bRequesting = true;
    QCoreApplication::sendEvent(widget, &request);
    m_bRequesting = false;
}

bool TContextMenuKey::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ContextMenu && !m_bRequesting
        && static_cast<QContextMenuEvent *>(event)->reason() == QContextMenuEvent::Keyboard)
        g_platformMenuKey = true;
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    const bool shiftF10 = key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier;
    const bool menuKey = key->key() == Qt::Key_Menu && !g_platformMenuKey;
    if (!shiftF10 && !menuKey)
        return false;
    Request(static_cast<QWidget *>(watched), key->modifiers());
    return true;
}
