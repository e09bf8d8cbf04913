#include "widgets/PressableControl.h"

#include <QKeyEvent>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QWidget>

bool IsClickKey(const QKeyEvent *event)
{
    const bool plain = event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier;
    return plain && (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter);
}

bool IsClickRelease(const QWidget *control, const QMouseEvent *event)
{
    return event->button() == Qt::LeftButton && control->rect().contains(event->position().toPoint());
}

void DrawFocusFrameIfFocused(QWidget *control, QPainter &painter)
{
    if (!control->hasFocus())
        return;
    QStyleOptionFocusRect option;
    option.initFrom(control);
    option.rect = control->rect().adjusted(1, 1, -1, -1);
    control->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, control);
}

void PostClicked(QWidget *control)
{
    QMetaObject::invokeMethod(control, "clicked", Qt::QueuedConnection);
}
