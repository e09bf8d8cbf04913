#include "widgets/TImage.h"

#include "widgets/AccessibleFactory.h"
#include "widgets/PressableControl.h"

#include <QKeyEvent>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPainter>

TImage::TImage(QWidget *parent) : QWidget(parent)
{
    InstallAccessibleFactory();
}

void TImage::SetPicture(const TPicture &picture)
{
    m_picture = picture;
    PictureChanged();
}

void TImage::AssignGraphic(const TGraphic *graphic)
{
    m_picture.Assign(graphic);
    PictureChanged();
}

void TImage::SetGraphic(std::unique_ptr<TGraphic> graphic)
{
    m_picture.SetGraphic(std::move(graphic));
    PictureChanged();
}

void TImage::ClearPicture()
{
    m_picture.Clear();
    PictureChanged();
}

void TImage::PictureChanged()
{
    // An empty picture leaves an auto-sizing control at the size it has.
    if (m_autoSize && !m_picture.IsEmpty()) {
        resize(m_picture.Width(), m_picture.Height());
        updateGeometry();
    }
    update();
}

void TImage::SetStretch(bool stretch)
{
    if (stretch == m_stretch)
        return;
    m_stretch = stretch;
    update();
}

void TImage::SetAutoSize(bool autoSize)
{
    if (autoSize == m_autoSize)
        return;
    m_autoSize = autoSize;
    PictureChanged();
}

QSize TImage::sizeHint() const
{
    if (m_autoSize && !m_picture.IsEmpty())
        return QSize(m_picture.Width(), m_picture.Height());
    return QWidget::sizeHint();
}

void TImage::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    TGraphic *graphic = m_picture.Graphic();
    if (graphic && !graphic->IsEmpty()) {
        const QRect target = m_stretch ? rect() : QRect(0, 0, graphic->Width(), graphic->Height());
        try {
            graphic->Draw(painter, target);
        } catch (...) {
            // A picture whose data fails to decode shows as an empty area; the error is already
            // known to whoever loaded it, and a paint handler has no one to tell.
        }
    }
    // Someone working with the keyboard sees which picture has the focus.
    DrawFocusFrameIfFocused(this, painter);
}

void TImage::mouseReleaseEvent(QMouseEvent *event)
{
    if (IsClickRelease(this, event))
        emit clicked();
    QWidget::mouseReleaseEvent(event);
}

void TImage::keyPressEvent(QKeyEvent *event)
{
    if (IsClickKey(event)) {
        emit clicked();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TImage::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    update();
}

void TImage::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    update();
}

bool TImage::AccessibleHasPicture() const
{
    return !m_picture.IsEmpty();
}

QSize TImage::AccessiblePictureSize() const
{
    return m_picture.IsEmpty() ? QSize() : QSize(m_picture.Width(), m_picture.Height());
}

bool TImage::AccessiblePressable() const
{
    return isSignalConnected(QMetaMethod::fromSignal(&TImage::clicked));
}

void TImage::AccessiblePress()
{
    PostClicked(this);
}
