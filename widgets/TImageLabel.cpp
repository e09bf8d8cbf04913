#include "widgets/TImageLabel.h"

#include "widgets/AccessibleFactory.h"

#include <QKeyEvent>
#include <QMetaMethod>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

TImageLabel::TImageLabel(QWidget *parent) : QLabel(parent)
{
    InstallAccessibleFactory();
}

bool TImageLabel::AccessibleHasPicture() const
{
    return !pixmap().isNull();
}

QSize TImageLabel::AccessiblePictureSize() const
{
    return pixmap().isNull() ? QSize() : pixmap().deviceIndependentSize().toSize();
}

bool TImageLabel::AccessiblePressable() const
{
    return isSignalConnected(QMetaMethod::fromSignal(&TImageLabel::clicked));
}

void TImageLabel::AccessiblePress()
{
    // A click may open a modal window: not inside the assistive technology's call.
    QMetaObject::invokeMethod(this, &TImageLabel::clicked, Qt::QueuedConnection);
}

void TImageLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
        return;
    }
    QLabel::mouseReleaseEvent(event);
}

void TImageLabel::keyPressEvent(QKeyEvent *event)
{
    const bool plain = event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier;
    if (plain && (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        emit clicked();
        return;
    }
    QLabel::keyPressEvent(event);
}

void TImageLabel::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    if (hasFocus()) {
        QPainter painter(this);
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(1, 1, -1, -1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}
