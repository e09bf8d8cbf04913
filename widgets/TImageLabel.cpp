#include "widgets/TImageLabel.h"

#include "widgets/AccessibleFactory.h"
#include "widgets/PressableControl.h"

#include <QKeyEvent>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPainter>

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
    PostClicked(this);
}

void TImageLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (IsClickRelease(this, event)) {
        emit clicked();
        return;
    }
    QLabel::mouseReleaseEvent(event);
}

void TImageLabel::keyPressEvent(QKeyEvent *event)
{
    if (IsClickKey(event)) {
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
        DrawFocusFrameIfFocused(this, painter);
    }
}
