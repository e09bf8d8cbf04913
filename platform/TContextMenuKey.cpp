#include "platform/TContextMenuKey.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

TContextMenuKey::TContextMenuKey(QWidget *widget) : QObject(widget) {}

void TContextMenuKey::Install(QWidget *widget)
{
    widget->installEventFilter(new TContextMenuKey(widget));
}

bool TContextMenuKey::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    const bool shiftF10 = key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier;
    const bool menuKey = key->key() == Qt::Key_Menu && !key->spontaneous();
    if (!shiftF10 && !menuKey)
        return false;
    auto *widget = static_cast<QWidget *>(watched);
    const QPoint pos = widget->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
    QContextMenuEvent request(QContextMenuEvent::Keyboard, pos, widget->mapToGlobal(pos), key->modifiers());
    QCoreApplication::sendEvent(widget, &request);
    return true;
}
